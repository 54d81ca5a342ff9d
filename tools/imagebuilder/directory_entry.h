// The 32-byte short directory entry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagebuilder/dos_date_time.h"
#include "imagebuilder/long_name.h"
#include "imagebuilder/short_name.h"

namespace brovane::imagebuilder {

inline constexpr std::size_t kDirEntryBytes = 32;
inline constexpr std::size_t kEntryName = 0;
inline constexpr std::size_t kEntryAttributes = 11;
inline constexpr std::size_t kEntryCreatedTime = 14;
inline constexpr std::size_t kEntryCreatedDate = 16;
inline constexpr std::size_t kEntryAccessedDate = 18;
inline constexpr std::size_t kEntryClusterHigh = 20;
inline constexpr std::size_t kEntryModifiedTime = 22;
inline constexpr std::size_t kEntryModifiedDate = 24;
inline constexpr std::size_t kEntryClusterLow = 26;
inline constexpr std::size_t kEntryFileSize = 28;

inline constexpr std::uint8_t kDeletedMark = 0xE5;

struct ShortEntry {
    ShortName name{};
    std::uint8_t attributes = 0;
    DosStamp stamp;
    std::uint32_t firstCluster = 0;
    std::uint32_t fileSize = 0;
};

RawEntry EncodeShortEntry(const ShortEntry& entry);

}  // namespace brovane::imagebuilder

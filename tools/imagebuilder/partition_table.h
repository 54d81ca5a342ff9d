// Master boot record and the extended partition chain.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

inline constexpr std::size_t kDiskSignatureOffset = 440;
inline constexpr std::size_t kPartitionTableOffset = 446;
inline constexpr std::size_t kPartitionEntryBytes = 16;
inline constexpr std::size_t kSignatureOffset = 510;

// Entry fields, relative to the entry.
inline constexpr std::size_t kEntryStatus = 0;
inline constexpr std::size_t kEntryChsStart = 1;
inline constexpr std::size_t kEntryType = 4;
inline constexpr std::size_t kEntryChsEnd = 5;
inline constexpr std::size_t kEntryRelativeSector = 8;
inline constexpr std::size_t kEntrySectorCount = 12;

// CHS bytes of a sector number under a BIOS geometry; past cylinder 1023 the
// usual 1023/heads-1/sectors marker.
ChsBytes LbaToChs(std::uint64_t lba, std::uint16_t heads, std::uint16_t sectorsPerTrack);

bool IsExtendedType(std::uint8_t type);

// Writes `entry` into table slot `slot` (0-3) of `sector`, its start stored
// relative to `base`.
void EncodePartitionEntry(std::span<std::uint8_t> sector, std::size_t slot,
                          const PartitionEntry& entry, std::uint32_t base, const Disk& disk);

bool WritePartitionTables(const Disk& disk, SparseImage& image, std::string& error);

}  // namespace brovane::imagebuilder

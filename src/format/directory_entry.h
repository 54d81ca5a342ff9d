// One 32-byte directory entry, as stored, and the tests the directory walks
// make on it. Entries are numbered from the start of a directory's data;
// only whole entries inside the data count (DirectoryEntryCount), and an
// entry read past the data reads as all zero bytes (an end-of-directory
// mark), so no read ever leaves the data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "format/little_endian.h"

namespace brovane {

inline constexpr std::size_t kDirectoryEntryBytes = 32;

// Attribute bits.
inline constexpr std::uint8_t kAttrReadOnly = 0x01;
inline constexpr std::uint8_t kAttrHidden = 0x02;
inline constexpr std::uint8_t kAttrSystem = 0x04;
inline constexpr std::uint8_t kAttrVolumeLabel = 0x08;
inline constexpr std::uint8_t kAttrDirectory = 0x10;
inline constexpr std::uint8_t kAttrArchive = 0x20;
// Case bits of byte 12: the short name's name or extension is shown in
// lower case (how a system without long names keeps "readme.txt").
inline constexpr std::uint8_t kLowerCaseName = 0x08;
inline constexpr std::uint8_t kLowerCaseExtension = 0x10;
// All four low bits set marks a long-name slot.
inline constexpr std::uint8_t kLongNameSlotBits = 0x0F;

// First name byte marks.
inline constexpr std::uint8_t kEndOfDirectoryMark = 0x00;
inline constexpr std::uint8_t kDeletedMark = 0xE5;
inline constexpr std::uint8_t kDeletedMarkAlias = 0x05;

// "NAME    .EXT": 8 name bytes, a dot, 3 extension bytes.
inline constexpr std::size_t kShortNameLength = 12;

struct DirectoryEntry {
    std::array<std::uint8_t, 8> name;
    std::array<std::uint8_t, 3> extension;
    std::uint8_t attributes;
    std::uint8_t caseFlags;  // byte 12: kLowerCaseName, kLowerCaseExtension
    std::uint16_t createdDate;
    std::uint16_t accessedDate;
    std::uint16_t firstClusterHigh;
    std::uint16_t modifiedTime;
    std::uint16_t modifiedDate;
    std::uint16_t firstClusterLow;
    std::uint32_t fileSize;
};

// Whole entries in the data (a partial entry at its end is not counted).
std::size_t DirectoryEntryCount(ByteSpan directoryData);

// The entry's bytes: 32, fewer for a partial entry, none past the data.
ByteSpan DirectoryEntryBytes(ByteSpan directoryData, std::size_t index);

DirectoryEntry ReadDirectoryEntry(ByteSpan directoryData, std::size_t index);

bool IsLongNameSlot(std::uint8_t attributes);
bool IsLongNameSlot(const DirectoryEntry& entry);
bool IsEndOfDirectory(const DirectoryEntry& entry);  // first byte 0x00
bool IsDeleted(const DirectoryEntry& entry);         // first byte 0xE5 or 0x05
// A directory whose name begins with '.': the dot and dot-dot entries.
bool IsDotEntry(const DirectoryEntry& entry);

// The 12 characters as stored (padding spaces and a leading 0xE5 kept),
// followed by a zero byte.
std::array<char, kShortNameLength + 1> ShortName(const DirectoryEntry& entry);

// The first cluster: the high word joins the low word on FAT32 (type code
// 9) only; other types take the low word alone.
std::uint32_t StartCluster(const DirectoryEntry& entry, std::uint16_t fatType);

}  // namespace brovane

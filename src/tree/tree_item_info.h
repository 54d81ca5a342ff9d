// The record every tree item carries: what the item is, where its data lies
// on the drive, and the geometry of the FAT volume it belongs to. Plain data,
// copied by value wherever it is passed on.
#pragma once

#include <cstdint>

#include "format/directory_entry.h"
#include "format/fat_entry.h"

namespace brovane {

// Item kinds (`kind`). Codes 7, 8 and 10 are not used.
enum ItemKind : std::uint16_t {
    IK_HARD_DISK = 0,
    IK_VOLUME = 1,
    IK_EXTENDED = 2,
    IK_FAT16 = kFat16Code,
    IK_FAT12 = kFat12Code,
    IK_ROOT_DIR = 5,
    IK_DIR_ENTRY = 6,
    IK_FAT32 = kFat32Code,
    IK_UNKNOWN = 11,
};

// FAT type codes (`fatType`); 0 while the type is not yet decided. A FAT
// item's kind equals its volume's code.
enum FatType : std::uint16_t {
    FT_NONE = 0,
    FT_FAT16 = kFat16Code,
    FT_FAT12 = kFat12Code,
    FT_FAT32 = kFat32Code,
};

struct TreeItemInfo {
    std::uint16_t driveNumber;  // BIOS numbering: floppies from 0, hard disk n is 0x80 + n
    std::uint16_t cylinder;  // low 8 bits of the origin's cylinder, as a partition entry stores it
    std::uint16_t head;
    std::uint16_t sector;       // bits 0-5 sector number, bits 6-7 cylinder bits 8-9
    std::uint32_t sectorCount;  // sectors of the item's own data; 0 for a cluster chain
    std::uint16_t kind;         // ItemKind
    std::uint16_t fatType;      // FatType
    std::uint16_t reservedSectors;
    std::uint32_t sectorsPerFat;
    const char* nameText;          // directory entries only: the name stored behind the record
    std::uint32_t relativeSector;  // first sector of the item, counted from baseSector
    std::uint16_t heads;
    std::uint32_t firstCluster;
    std::uint16_t sectorsPerTrack;
    std::uint16_t sectorsPerCluster;
    std::uint16_t attributes;
    std::uint32_t volumeSectors;    // a volume's total; a partition: its entry's sector count
    std::uint32_t baseSector;       // absolute sector that relativeSector counts from
    std::uint32_t firstDataSector;  // cluster 2, relative to the volume's first sector
    std::uint32_t int13Extensions;  // the disk library's extension value, passed back unchanged
    // Directory entries only: the directory that lists the entry (its first
    // cluster; 0 for the fixed root directory) and the entry's number in it.
    std::uint32_t parentCluster;
    std::uint32_t entryIndex;
};

// A directory-entry item with the sub-directory attribute: listed, and
// paged as a directory.
inline constexpr std::uint16_t kDirectoryAttribute = kAttrDirectory;
inline bool IsDirectory(const TreeItemInfo& item) {
    return (item.attributes & kDirectoryAttribute) != 0;
}

}  // namespace brovane

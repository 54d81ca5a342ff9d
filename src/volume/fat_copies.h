// A volume's FAT copies compared entry by entry. The copies are read side
// by side in pieces (a FAT32 FAT of many MiB is never held whole, nor more
// than once), and only the entries listed are kept: those where the copies
// disagree and those a copy could not read. An entry is its decoded value
// (FAT32: its 28 bits, as the FAT grids show them and chains use them; the
// 4 reserved bits may differ without any chain changing), so every listed
// row shows a difference the eye can see.
#pragma once

#include <cstdint>
#include <vector>

#include "disk/disk_access.h"
#include "platform/platform.h"
#include "volume/volume_geometry.h"

namespace brovane {

// A listed entry's value in a copy whose sectors that hold it were not read.
// No decoded entry has all 32 bits set.
inline constexpr std::uint32_t kUnreadableFatEntry = 0xFFFFFFFF;

struct FatCopiesComparison {
    std::uint16_t fatType = 0;
    unsigned copies = 0;
    // The listed entries' numbers, in order, and their values: `copies`
    // a row, copy 1 first.
    std::vector<std::uint32_t> entries;
    std::vector<std::uint32_t> values;
    std::uint64_t differing = 0;   // entries whose readable values disagree
    std::uint64_t unreadable = 0;  // entries at least one copy could not read
};

// Compares the volume's `copies` FATs, FAT 1 at reservedSectors and each
// next sectorsPerFat further on, over every entry a copy holds. Sectors
// that cannot be read are read again one by one and only those are left
// out. False when the volume's size rule refuses a FAT of that size or the
// memory for the pieces cannot be had.
bool CompareFatCopies(Platform& platform, DiskAccess& disk, const VolumeGeometry& volume,
                      unsigned copies, FatCopiesComparison& result);

}  // namespace brovane

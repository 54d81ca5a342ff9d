// Where a FAT volume's structures lie, as its boot record gives them: the
// reserved sectors, the FAT copies behind them, the root directory (a run
// of sectors on FAT12 and FAT16, a cluster chain on FAT32) and the data
// area. Sectors count from the volume's first sector, in 64 bits.
#pragma once

#include <cstdint>
#include <optional>

#include "format/boot_record.h"

namespace brovane {

struct VolumeLayout {
    std::uint16_t fatType = 0;
    std::uint16_t reservedSectors = 0;
    std::uint8_t numberOfFats = 0;
    std::uint32_t sectorsPerFat = 0;
    std::uint16_t sectorsPerCluster = 0;
    std::uint64_t rootSector = 0;    // behind the FATs
    std::uint32_t rootSectors = 0;   // the fixed root's sectors; 0 on FAT32
    std::uint32_t rootCluster = 0;   // FAT32's root chain
    std::uint64_t dataSector = 0;    // cluster 2
    std::uint32_t totalSectors = 0;  // as the record says
};

// FAT32 when the partition type says so; otherwise FAT12 below 4096
// clusters over every sector of the volume, else FAT16. sectorsPerCluster
// must not be 0.
std::uint16_t DecideFatType(const BootRecord& boot, bool fat32Indicator);

// The first sector of FAT copy n (from 1).
std::uint64_t FatSector(const VolumeLayout& layout, unsigned n);

// Nothing for a record that is not a FAT one (no sectors per cluster or no
// bytes per sector: nothing to divide by).
std::optional<VolumeLayout> FatVolumeLayout(const BootRecord& boot, bool fat32Indicator);

}  // namespace brovane

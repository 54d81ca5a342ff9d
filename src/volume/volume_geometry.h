// Where a FAT volume's structures lie: its addressing on the drive (the
// origin its sectors are counted from), its FATs behind the reserved
// sectors, and the data area where cluster 2 begins. Plain data, taken from
// the tree record of any directory or file of the volume.
#pragma once

#include <cstdint>

#include "disk/sector_run.h"

namespace brovane {

struct VolumeGeometry {
    SectorRun origin;  // drive, origin and geometry; relativeSector and sectorCount unused
    std::uint16_t fatType = 0;
    std::uint16_t reservedSectors = 0;
    std::uint32_t sectorsPerFat = 0;
    std::uint16_t sectorsPerCluster = 0;
    std::uint32_t dataSector = 0;  // cluster 2, counted from origin.baseSector
};

// The run of `count` sectors from the volume's `relativeSector`.
inline SectorRun VolumeRun(const VolumeGeometry& volume, std::uint32_t relativeSector,
                           std::uint32_t count) {
    SectorRun run = volume.origin;
    run.relativeSector = relativeSector;
    run.sectorCount = count;
    return run;
}

}  // namespace brovane

// A run of 512-byte sectors on one drive, addressed as the tree records
// address their data: an origin (its CHS triple and absolute baseSector),
// the first sector counted from that origin, a count, and the drive's
// geometry and extension value for the disk library.
#pragma once

#include <cstdint>

#include "platform/disk_units.h"

namespace brovane {

struct SectorRun {
    std::uint16_t driveNumber = 0;  // floppies from 0, hard disk n is 0x80 + n
    std::uint16_t cylinder = 0;     // the origin's CHS, packed as a partition entry packs it
    std::uint16_t head = 0;
    std::uint16_t sector = 0;
    std::uint32_t baseSector = 0;
    std::uint32_t relativeSector = 0;
    std::uint32_t sectorCount = 0;
    std::uint16_t heads = 0;
    std::uint16_t sectorsPerTrack = 0;
    std::uint32_t int13Extensions = 0;
};

}  // namespace brovane

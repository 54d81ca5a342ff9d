// Writing the first sector of a disk, partition or volume back by the
// item's own address: the CHS triple and baseSector through the disk
// library, the byte offset baseSector × 512 through the device path, with a
// floppy volume opened afresh when the first write moved nothing.
#pragma once

#include <cstdint>

#include "disk/platform_disk_screen.h"
#include "disk/sector_run.h"

namespace brovane {

enum class FirstSectorWrite {
    Written,     // all 512 bytes reached the device
    NotWritten,  // the transfer failed or fell short
    OpenFailed,  // a floppy volume could not be opened afresh
};

FirstSectorWrite WriteFirstSector(const PlatformDiskScreen& io, const SectorRun& run,
                                  const std::uint8_t* buffer);

}  // namespace brovane

// Reading the first sectors of a disk, partition or volume by the item's
// own address: the CHS triple and baseSector through the disk library, the
// byte offset baseSector × 512 through the device path. The tree walk and
// the two table presenters differ only in when a floppy volume is opened
// afresh, which each states with a FloppyReopen rule.
#pragma once

#include <cstdint>

#include "disk/platform_disk_screen.h"
#include "disk/sector_run.h"

namespace brovane {

struct FloppyReopen {
    // Open the floppy volume afresh before reading.
    bool beforeRead;
    // When the read moved nothing, open it afresh and read once more.
    bool whenNothingRead;
    // That second read starts at the device's first byte instead of the item's.
    bool retryFromDeviceStart;
};

// Read as the item lies; only a read that moved nothing opens the volume
// afresh and tries once more.
inline constexpr FloppyReopen kReopenWhenNothingRead{false, true, false};

enum class FirstSectorRead {
    Read,        // every byte arrived
    NotRead,     // the transfer failed or fell short
    OpenFailed,  // a floppy volume could not be opened
};

FirstSectorRead ReadFirstSectors(const PlatformDiskScreen& io, const SectorRun& run,
                                 std::uint8_t* buffer, FloppyReopen reopen);

}  // namespace brovane

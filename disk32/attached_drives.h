// The drives the disk library serves: the images the platform attached when
// it loaded the library, with a BIOS-style geometry each.
//
// Each image is opened once, when attached, under the platform's rule for
// device paths (read and write, exclusive for block devices, read-only where
// the system refuses that), and measured through that descriptor; every
// transfer goes through it. Attaching again closes the drives attached
// before. Hard disks get the translated geometry of 255 heads and 63 sectors
// a track; floppies the geometry of their standard format, known by their
// size. Like the driver it stands in for, the library keeps one table for the
// whole process.
#pragma once

#include <cstdint>

#include "platform/device_table.h"
#include "platform/posix_device.h"

namespace brovane::disk32 {

struct DriveGeometry {
    std::uint32_t heads;
    std::uint32_t sectorsPerTrack;
};

struct AttachedDrive {
    PosixDevice device;  // descriptors -1 when the image could not be opened
    std::uint64_t sectorCount;
    DriveGeometry geometry;
};

// Closes the drives attached before, then opens the table's.
void AttachDrives(const BrovaneDeviceTable& table);
void DetachDrives();
// The drive with BIOS number drive (floppies from 0, hard disks from 0x80);
// null when there is none.
const AttachedDrive* FindDrive(std::uint32_t drive);

// The geometry a BIOS gives a drive of that many sectors.
DriveGeometry FloppyGeometry(std::uint64_t sectorCount);
DriveGeometry HardDiskGeometry();

}  // namespace brovane::disk32

// The drives the disk library and the virtual device serve: the images the
// platform attached when it loaded them, with a BIOS-style geometry each.
//
// Each image is measured once, when attached. Hard disks get the translated geometry of 255 heads
// and 63 sectors a track; floppies the geometry of their standard format, known by their size. Like
// the drivers they stand in for, these objects keep one table for the whole process.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "disk32/device_table.h"

namespace brovane::disk32 {

struct DriveGeometry {
    std::uint32_t heads;
    std::uint32_t sectorsPerTrack;
};

struct AttachedDrive {
    std::string path;
    std::uint64_t sectorCount;
    DriveGeometry geometry;
};

// Replaces the table with the platform's.
void AttachDrives(const BrovaneDeviceTable& table);
std::uint32_t AttachedFloppyCount();
// The drive with BIOS number drive (floppies from 0, hard disks from 0x80).
std::optional<AttachedDrive> FindDrive(std::uint32_t drive);

// The geometry a BIOS gives a drive of that many sectors.
DriveGeometry FloppyGeometry(std::uint64_t sectorCount);
DriveGeometry HardDiskGeometry();

}  // namespace brovane::disk32

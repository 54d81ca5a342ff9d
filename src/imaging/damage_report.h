// The damage report: given a volume of an image and the mapfile of its copy
// (ours or ddrescue's), every file and directory whose data or whose own
// directory entry lies on sectors the copy did not read well (bad, or not
// tried), with the bytes affected, and each FAT sector that was not read
// well on the drive. It reads only the image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disk/disk_access.h"
#include "format/rescue_map.h"
#include "imaging/copy_extent.h"
#include "platform/platform.h"

namespace brovane {

struct DamagedItem {
    std::string path;  // names from the root directory, joined by '/'
    bool directory = false;
    std::uint64_t size = 0;           // a file's size; a directory's clusters
    std::uint64_t bytesAffected = 0;  // of its data
    std::uint64_t firstBadSector =
        0;  // of the drive: the first bad one of its data, else its entry's
};

// A FAT sector not read well, as a sector of the drive, and its copy (from 1).
struct DamagedFatSector {
    std::uint64_t sector = 0;
    unsigned copy = 0;
};

struct DamageReport {
    std::vector<DamagedItem> items;
    std::vector<DamagedFatSector> fatSectors;
};

// The map's positions are the drive's bytes (a whole-disk image opened as
// a disk, or a volume image opened as a floppy).
DamageReport ReportDamage(Platform& platform, DiskAccess& disk, const CopyExtent& volume,
                          const std::vector<RescueBlock>& map);

}  // namespace brovane

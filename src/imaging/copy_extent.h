// What a copy of a tree item takes: a hard disk or floppy, every sector of
// the device; a partition (a volume, an extended partition or a link, an
// unknown one), the sectors its entry gives from where it begins, bounded
// by the device. Sector numbers are relative to the item's start and must
// fit 32 bits, so a copy takes at most 2^32 sectors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "disk/platform_disk_screen.h"
#include "disk/sector_run.h"
#include "platform/platform.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Which structure is read first.
enum class CopyStructure { kNone, kDisk, kVolume };

struct CopyExtent {
    SectorRun origin;  // relativeSector 0 is the item's first sector
    std::uint64_t sectors = 0;
    CopyStructure structure = CopyStructure::kNone;
    bool fat32Indicator = false;  // a volume whose partition type says FAT32
};

// A disk, a floppy or a partition.
bool IsCopyableItem(const TreeItemInfo& item);
// The whole floppy for any item of a floppy drive; nothing for an item that
// is not copyable.
std::optional<CopyExtent> CopyExtentOf(Platform& platform, const TreeItemInfo& item);

// Through the disk library a run needs its drive's geometry, which a disk's
// or partition's record does not hold: it is taken from the item's first
// sector, the one geometry its partition table fits (a disk, an extended
// partition) or its boot record's heads and sectors per track (a floppy, a
// volume); for a drive the library addresses by sector number, any. False
// when none is found.
bool TakeLibraryGeometry(const PlatformDiskScreen& io, const TreeItemInfo& item,
                         CopyExtent& extent);

// What is said when no geometry is found: "..., nothing was WHAT."
inline std::string NoLibraryGeometryText(std::string_view what) {
    return "The disk's geometry is not known, so the disk library cannot address its sectors: "
           "nothing was " +
           std::string(what) + ".";
}

}  // namespace brovane

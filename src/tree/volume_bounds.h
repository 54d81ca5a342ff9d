// Whether an item's own sectors lie inside its volume, as the volume's boot
// record gives its size, and are no more than its drive holds. A damaged
// boot record can claim a FAT larger than the whole disk; such an item is
// never given a buffer of that size.
#pragma once

#include <cstdint>

#include "disk/drive_size.h"
#include "platform/platform.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Items that do not know their volume's size (disks, partitions) always fit.
inline bool FitsInVolume(const TreeItemInfo& item) {
    return item.volumeSectors == 0 ||
           std::uint64_t{item.relativeSector} + item.sectorCount <= item.volumeSectors;
}

inline bool FitsInVolumeAndDrive(Platform& platform, const TreeItemInfo& item) {
    return FitsInVolume(item) && FitsOnDrive(platform, item.driveNumber, item.sectorCount);
}

}  // namespace brovane

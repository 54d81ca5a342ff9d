// The volume a directory or file item belongs to, as its record gives it:
// the record's addressing, FAT geometry, and the data area, which begins at
// the record's relativeSector (behind the root directory of FAT12 and FAT16).
#pragma once

#include "tree/item_run.h"
#include "tree/tree_item_info.h"
#include "volume/volume_geometry.h"

namespace brovane {

inline VolumeGeometry VolumeOf(const TreeItemInfo& item) {
    SectorRun origin = ItemRun(item);
    origin.relativeSector = 0;
    origin.sectorCount = 0;
    return {.origin = origin,
            .fatType = item.fatType,
            .reservedSectors = item.reservedSectors,
            .sectorsPerFat = item.sectorsPerFat,
            .sectorsPerCluster = item.sectorsPerCluster,
            .dataSector = item.relativeSector};
}

}  // namespace brovane

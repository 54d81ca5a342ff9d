// The sectors a tree item's record addresses, as a run for the sector transfer.
#pragma once

#include "disk/sector_run.h"
#include "tree/tree_item_info.h"

namespace brovane {

inline SectorRun ItemRun(const TreeItemInfo& item) {
    SectorRun run;
    run.driveNumber = item.driveNumber;
    run.cylinder = item.cylinder;
    run.head = item.head;
    run.sector = item.sector;
    run.baseSector = item.baseSector;
    run.relativeSector = item.relativeSector;
    run.sectorCount = item.sectorCount;
    run.heads = item.heads;
    run.sectorsPerTrack = item.sectorsPerTrack;
    run.int13Extensions = item.int13Extensions;
    return run;
}

}  // namespace brovane

// Sector dumps: one 512-byte sector of an item at a time, 32 rows of 16
// bytes, paged through the item's sectors.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Clears the pane for a sector dump and makes the current buffer one sector;
// false after saying that it cannot be had.
bool PrepareSectorDump(const PlatformDiskScreen& io, RightPaneState& pane);

// Shows the item's first sector. The item's sectorCount bounds the paging.
void ShowSectorDump(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);
// Reads the item's first sector into the current buffer (by its own address
// when it is the first sector of a disk, partition or volume) and inserts
// the rows; after a failed read no rows are inserted.
void LoadFirstDumpSector(const PlatformDiskScreen& io, RightPaneState& pane,
                         const TreeItemInfo& item);

}  // namespace brovane

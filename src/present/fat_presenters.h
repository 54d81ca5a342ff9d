// The three FAT grids: the whole FAT read into the current buffer and shown
// sixteen entries a row. Rows carry only item data; their cells are
// formatted when the list draws them.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Each reads the item's sectorCount sectors into the current buffer, which
// the caller made that large. A failed read shows "FAT not accessible!";
// FAT16 and FAT32 then list the buffer as the read left it, FAT12 keeps
// only its headings.
void ShowFat16(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);
void ShowFat32(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);
void ShowFat12(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);

}  // namespace brovane

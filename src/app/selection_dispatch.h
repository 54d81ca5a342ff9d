// Showing the selected tree item in the right pane: decoded by its
// presenter, or dumped, as the two dumping-mode check marks say.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "screen/screen_operations.h"
#include "tree/tree_item_info.h"

namespace brovane {

enum class DumpingMode { Structure, SectorCluster, RawSector };

// Raw sector dumping wins over sector/cluster dumping.
DumpingMode CurrentDumpingMode(ScreenOperations& screen);

// Replaces the current buffer by one of the size of the item's FAT, into
// which a directory or file item's chain is loaded, and gives up the rows of
// the listing before; false after the allocation-failure message (the pane
// is then cleared).
bool PrepareChainBuffer(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo& item);

// The selection-changed notification; info is nullptr when nothing is selected.
void DispatchSelection(const PlatformDiskScreen& io, RightPaneState& pane,
                       const TreeItemInfo* info);

}  // namespace brovane

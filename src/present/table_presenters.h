// The two presenters whose rows are finished texts: a partition table as
// forty rows of field and value, a boot record as thirteen.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Both read the item's first sector into the current buffer (as large as
// the item's sectors) and show every row, or, after a failure, only the
// column headings.
void ShowPartitionTable(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo& item);
void ShowBootRecord(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);

}  // namespace brovane

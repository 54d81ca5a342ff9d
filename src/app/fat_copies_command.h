// Compare FATs: on a volume or one of its FAT items, the volume's FAT
// copies, as its boot record counts and places them, compared entry by
// entry; the entries where they differ are listed in the right pane.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// A floppy or partition volume, or one of its FATs.
bool IsFatCopiesItem(const TreeItemInfo& item);

// The command. Says so when the boot record gives fewer than two copies, or
// when every entry of every copy was read and they agree (the pane then
// lists no rows).
void CompareFatCopiesOf(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo* item);

}  // namespace brovane

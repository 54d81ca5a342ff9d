// The table presenters' read of the item's first sectors into the current
// buffer, with the failure text of each access mode.
#pragma once

#include <string_view>

#include "disk/first_sector_read.h"
#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

struct ReadFailureTexts {
    std::string_view diskLibrary;
    std::string_view devicePath;
};

// True when every byte arrived. A floppy that cannot be opened fails
// without a message; a failed read shows the mode's text.
bool ReadIntoCurrentBuffer(const PlatformDiskScreen& io, RightPaneState& pane,
                           const TreeItemInfo& item, FloppyReopen reopen, ReadFailureTexts texts);

}  // namespace brovane

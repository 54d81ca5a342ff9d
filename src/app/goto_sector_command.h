// Go to a Sector: asks for the sector number, then shows that sector of the
// selected item.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

inline constexpr std::string_view kGoToSectorTitle = "Go to a Sector";

void ChooseGoToSector(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo* item);

}  // namespace brovane

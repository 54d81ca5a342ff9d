// Showing the selected tree item in the right pane: decoded by its
// presenter, or dumped, as the two dumping-mode check marks say.
#pragma once

#include "tree/tree_item_info.h"

namespace brovane {

class Session;

enum class DumpingMode { Structure, SectorCluster, RawSector };

// Raw sector dumping wins over sector/cluster dumping.
DumpingMode CurrentDumpingMode(Session& session);

// The selection-changed notification; info is nullptr when nothing is selected.
void DispatchSelection(Session& session, const TreeItemInfo* info);

}  // namespace brovane

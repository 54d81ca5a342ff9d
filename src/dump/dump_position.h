// Where the unit on screen lies: its sector run, computed from the current
// item, the position and, in a cluster dump, the chain. A unit whose sector
// would lie in front of the data area (cluster 0 or 1) or beyond 32 bits has
// no run: it is not accessible.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// The cluster number at the current position of a cluster dump (0 when the
// position lies outside the chain).
std::uint32_t CurrentCluster(const RightPaneState& pane);

// The current item's record narrowed to the unit now addressed:
// relativeSector and sectorCount of the cluster or sector shown.
std::optional<TreeItemInfo> CurrentUnit(const RightPaneState& pane);

// The sector a position text names for the unit now addressed, by the
// 32-bit arithmetic of the addresses (also for a unit that is not accessible).
std::uint32_t UnitStatusSector(const RightPaneState& pane);

std::string SectorPositionText(std::uint32_t sector);
std::string ClusterPositionText(std::uint32_t cluster, std::uint32_t sector);

}  // namespace brovane

#include "dump/dump_position.h"

#include <array>
#include <cstdio>
#include <span>

#include "tree/item_volume.h"
#include "volume/cluster_run.h"

namespace brovane {

std::uint32_t CurrentCluster(const RightPaneState& pane) {
    std::span<const std::uint32_t> chain = pane.clusterChain.Clusters();
    return pane.currentIndex < chain.size() ? chain[pane.currentIndex] : 0;
}

std::optional<TreeItemInfo> CurrentUnit(const RightPaneState& pane) {
    TreeItemInfo unit = pane.currentItem;
    if (pane.viewMode == VM_CLUSTER_DUMP) {
        std::optional<std::uint32_t> sector = ClusterSector(VolumeOf(unit), CurrentCluster(pane));
        if (!sector) {
            return std::nullopt;
        }
        unit.relativeSector = *sector;
        unit.sectorCount = pane.unitSectors;
        return unit;
    }
    std::uint64_t sector = std::uint64_t{unit.relativeSector} + pane.currentIndex;
    if (sector > UINT32_MAX) {
        return std::nullopt;
    }
    unit.relativeSector = static_cast<std::uint32_t>(sector);
    unit.sectorCount = 1;
    return unit;
}

std::uint32_t UnitStatusSector(const RightPaneState& pane) {
    const TreeItemInfo& item = pane.currentItem;
    if (pane.viewMode == VM_CLUSTER_DUMP) {
        return item.relativeSector + (CurrentCluster(pane) - 2u) * pane.unitSectors;
    }
    return item.relativeSector + pane.currentIndex;
}

std::string SectorPositionText(std::uint32_t sector) {
    return "Current Sector Number: " + std::to_string(sector);
}

std::string ClusterPositionText(std::uint32_t cluster, std::uint32_t sector) {
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "0x%08X", cluster);
    return std::string("Current Cluster Number: ") + hex.data() +
           ", Current Sector Number: " + std::to_string(sector);
}

}  // namespace brovane

#include "tree/cluster_run.h"

#include "disk/sector_transfer.h"
#include "tree/item_run.h"

namespace brovane {

std::optional<std::uint32_t> ClusterSector(const TreeItemInfo& item, std::uint32_t cluster) {
    if (cluster < 2) {
        return std::nullopt;
    }
    std::uint64_t sector =
        std::uint64_t{item.relativeSector} + std::uint64_t{cluster - 2} * item.sectorsPerCluster;
    if (sector > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(sector);
}

bool ReadClusterRun(const PlatformDiskScreen& io, std::span<const std::uint32_t> clusters,
                    const TreeItemInfo& item, std::span<std::uint8_t> buffer) {
    std::uint64_t clusterBytes = std::uint64_t{item.sectorsPerCluster} * kSectorBytes;
    if (clusterBytes * clusters.size() > buffer.size()) {
        return false;
    }
    TreeItemInfo copy = item;
    copy.sectorCount = item.sectorsPerCluster;
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        std::optional<std::uint32_t> sector = ClusterSector(item, clusters[i]);
        if (!sector) {
            return false;
        }
        copy.relativeSector = *sector;
        if (!ReadSectors(io, ItemRun(copy), buffer.data() + i * clusterBytes)) {
            return false;
        }
    }
    return true;
}

}  // namespace brovane

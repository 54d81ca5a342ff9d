#include "volume/cluster_run.h"

#include "disk/sector_transfer.h"

namespace brovane {

std::optional<std::uint32_t> ClusterSector(const VolumeGeometry& volume, std::uint32_t cluster) {
    if (cluster < 2) {
        return std::nullopt;
    }
    const std::uint64_t sector =
        std::uint64_t{volume.dataSector} + std::uint64_t{cluster - 2} * volume.sectorsPerCluster;
    if (sector > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(sector);
}

bool ReadClusterRun(const PlatformDiskScreen& io, const VolumeGeometry& volume,
                    std::span<const std::uint32_t> clusters, std::span<std::uint8_t> buffer) {
    const std::uint64_t clusterBytes = std::uint64_t{volume.sectorsPerCluster} * kSectorBytes;
    if (clusterBytes * clusters.size() > buffer.size()) {
        return false;
    }
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const std::optional<std::uint32_t> sector = ClusterSector(volume, clusters[i]);
        if (!sector || !ReadSectors(io, VolumeRun(volume, *sector, volume.sectorsPerCluster),
                                    buffer.data() + i * clusterBytes)) {
            return false;
        }
    }
    return true;
}

}  // namespace brovane

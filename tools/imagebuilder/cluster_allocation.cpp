#include "imagebuilder/cluster_allocation.h"

#include "imagebuilder/directory_entry.h"

namespace brovane::imagebuilder {

namespace {

struct Allocator {
    std::vector<bool> used;  // indexed by cluster number
    std::uint32_t next = 2;

    bool Reserve(const std::vector<std::uint32_t>& chain, const std::string& what,
                 std::string& error) {
        for (const std::uint32_t cluster : chain) {
            if (cluster < 2 || cluster >= used.size() || used[cluster]) {
                error = what + ": cluster " + std::to_string(cluster) +
                        " is outside the data area or used twice";
                return false;
            }
            used[cluster] = true;
        }
        return true;
    }

    bool Take(std::size_t count, std::vector<std::uint32_t>& chain, const std::string& what,
              std::string& error) {
        for (; chain.size() < count; ++next) {
            if (next >= used.size()) {
                error = what + ": the volume has no free cluster left";
                return false;
            }
            if (!used[next]) {
                used[next] = true;
                chain.push_back(next);
            }
        }
        return true;
    }
};

std::size_t ClustersFor(std::size_t bytes, std::size_t clusterBytes) {
    return (bytes + clusterBytes - 1) / clusterBytes;
}

std::size_t DirectoryClusters(const VolumePlan& plan, std::size_t directory,
                              std::size_t clusterBytes) {
    const std::size_t bytes = DirectoryEntryCount(plan, directory) * kDirEntryBytes;
    return std::max<std::size_t>(1, ClustersFor(bytes, clusterBytes));
}

std::size_t ClustersNeeded(const VolumePlan& plan, const EntryDescription& item, std::size_t index,
                           std::size_t clusterBytes) {
    if (item.kind == EntryKind::Directory) {
        return DirectoryClusters(plan, *plan.directoryOf[index], clusterBytes);
    }
    return item.kind == EntryKind::File ? ClustersFor(item.data.size(), clusterBytes) : 0;
}

bool CheckLength(const std::vector<std::uint32_t>& chain, std::size_t needed,
                 const std::string& what, std::string& error) {
    if (!chain.empty() && chain.size() < needed) {
        error = what + ": " + std::to_string(chain.size()) + " clusters given, " +
                std::to_string(needed) + " needed";
        return false;
    }
    return true;
}

}  // namespace

bool AllocateClusters(const FatVolume& volume, const VolumeLayout& layout, const VolumePlan& plan,
                      ClusterPlan& clusters, std::string& error) {
    const std::size_t clusterBytes = std::size_t{volume.sectorsPerCluster} * kSectorBytes;
    Allocator allocator{std::vector<bool>(std::size_t{layout.clusterCount} + 2, false)};
    const bool fat32 = volume.kind == FatKind::Fat32;
    clusters = {std::vector<std::vector<std::uint32_t>>(volume.entries.size()),
                volume.rootClusters};
    bool ok = allocator.Reserve(clusters.rootChain, "root directory", error);
    for (std::size_t i = 0; ok && i < volume.entries.size(); ++i) {
        clusters.chains[i] = volume.entries[i].clusters;
        ok = allocator.Reserve(clusters.chains[i], volume.entries[i].path, error);
    }
    const std::size_t rootNeeded = fat32 ? DirectoryClusters(plan, 0, clusterBytes) : 0;
    ok = ok && CheckLength(clusters.rootChain, rootNeeded, "root directory", error) &&
         allocator.Take(rootNeeded, clusters.rootChain, "root directory", error);
    for (std::size_t i = 0; ok && i < volume.entries.size(); ++i) {
        const EntryDescription& item = volume.entries[i];
        const std::size_t needed = ClustersNeeded(plan, item, i, clusterBytes);
        ok = CheckLength(clusters.chains[i], needed, item.path, error) &&
             (!clusters.chains[i].empty() ||
              allocator.Take(needed, clusters.chains[i], item.path, error));
    }
    return ok;
}

}  // namespace brovane::imagebuilder

// Reading the clusters of a chain, in chain order, back to back into one
// buffer. Cluster c of a volume starts at the volume-relative sector
// relativeSector + (c - 2) × sectorsPerCluster of a directory-entry item,
// whose relativeSector is the volume's first data sector.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "disk/platform_disk_screen.h"
#include "tree/tree_item_info.h"

namespace brovane {

// The first sector of a cluster, relative to the volume; nothing when the
// cluster is below 2 (it would lie in front of the data area) or its sector
// does not fit 32 bits.
std::optional<std::uint32_t> ClusterSector(const TreeItemInfo& item, std::uint32_t cluster);

// True when every cluster was read. Stops at the first cluster that is not
// accessible or whose read failed; the clusters after it are not read. The
// buffer must hold clusters.size() × sectorsPerCluster sectors, or nothing is read.
bool ReadClusterRun(const PlatformDiskScreen& io, std::span<const std::uint32_t> clusters,
                    const TreeItemInfo& item, std::span<std::uint8_t> buffer);

}  // namespace brovane

// Reading the clusters of a chain, in chain order, back to back into one
// buffer. Cluster c of a volume starts at the sector
// dataSector + (c - 2) × sectorsPerCluster.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "disk/platform_disk_screen.h"
#include "volume/volume_geometry.h"

namespace brovane {

// The first sector of a cluster, counted from the volume's origin; nothing
// when the cluster is below 2 (it would lie in front of the data area) or
// its sector does not fit 32 bits.
std::optional<std::uint32_t> ClusterSector(const VolumeGeometry& volume, std::uint32_t cluster);

// True when every cluster was read. Stops at the first cluster that is not
// accessible or whose read failed; the clusters after it are not read. The
// buffer must hold clusters.size() × sectorsPerCluster sectors, or nothing
// is read.
bool ReadClusterRun(const PlatformDiskScreen& io, const VolumeGeometry& volume,
                    std::span<const std::uint32_t> clusters, std::span<std::uint8_t> buffer);

}  // namespace brovane

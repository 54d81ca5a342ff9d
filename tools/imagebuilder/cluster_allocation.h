// Cluster chains of a volume: the chains given explicitly are reserved first,
// then the FAT32 root directory and every other entry that needs clusters get
// the lowest free ones, in declaration order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imagebuilder/directory_plan.h"
#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

struct ClusterPlan {
    std::vector<std::vector<std::uint32_t>> chains;  // per entry
    std::vector<std::uint32_t> rootChain;            // FAT32 only
};

bool AllocateClusters(const FatVolume& volume, const VolumeLayout& layout, const VolumePlan& plan,
                      ClusterPlan& clusters, std::string& error);

}  // namespace brovane::imagebuilder

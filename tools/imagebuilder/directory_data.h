// The bytes of one directory: dot entries for a sub-directory, then each
// entry's long-name slots and short entry, in declaration order.
#pragma once

#include <cstdint>
#include <vector>

#include "imagebuilder/cluster_allocation.h"
#include "imagebuilder/directory_plan.h"
#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

std::vector<std::uint8_t> EncodeDirectoryData(const FatVolume& volume, const VolumePlan& plan,
                                              const ClusterPlan& clusters, std::size_t directory);

}  // namespace brovane::imagebuilder

// Fetching what a view of a chain shows: the FAT, the chain listed from it,
// then the chain's clusters. Each step says how it failed, so that each
// view (the tree, the listing, the cluster dump) gives its own message.
#pragma once

#include <cstdint>

#include "disk/platform_disk_screen.h"
#include "platform/platform_block.h"
#include "volume/cluster_chain.h"
#include "volume/volume_geometry.h"

namespace brovane {

enum class ChainLoad { kListed, kNoChain, kFatUnreadable, kNoMemory };

// Reads the FAT into `fat` (room for one FAT, see AllocateFatImage) and
// lists the chain from firstCluster into `chain`, which holds nothing unless
// the answer is kListed.
ChainLoad LoadClusterChain(const PlatformDiskScreen& io, const VolumeGeometry& volume,
                           std::uint32_t firstCluster, PlatformBlock& fat, ClusterChain& chain);

enum class ChainDataRead { kRead, kNoMemory, kPartlyRead };

// Releases the block (the FAT is no longer needed), then makes it the
// chain's clusters, read in chain order. kPartlyRead: the block holds what
// the reads left; kNoMemory: the block is empty.
ChainDataRead ReadChainData(const PlatformDiskScreen& io, const VolumeGeometry& volume,
                            const ClusterChain& chain, PlatformBlock& block);

}  // namespace brovane

// A cluster chain of a volume, listed from its FAT: its clusters in chain
// order (FAT32 numbers with their top 4 bits cleared) and how it ended. The
// walk's bounds are the FAT's own (see format/fat_chain.h): a chain never
// holds a cluster twice and never one whose entry lies past the FAT.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "format/fat_chain.h"
#include "platform/platform.h"
#include "platform/platform_block.h"

namespace brovane {

class ClusterChain {
  public:
    ClusterChain() = default;
    ClusterChain(PlatformBlock list, ChainEnd end);

    std::span<const std::uint32_t> Clusters() const;
    std::uint32_t Length() const { return static_cast<std::uint32_t>(Clusters().size()); }
    ChainEnd End() const { return end_; }
    // True while it holds a list of clusters.
    explicit operator bool() const { return static_cast<bool>(list_); }
    void Release();

  private:
    PlatformBlock list_;
    ChainEnd end_ = ChainEnd::kNoChain;
};

// The chain from firstCluster in the FAT image. A chain of no clusters
// holds no list and takes no memory; nothing when the list's memory cannot
// be had.
std::optional<ClusterChain> ListClusterChain(Platform& platform, std::uint32_t firstCluster,
                                             std::uint16_t fatType, ByteSpan fatImage);

}  // namespace brovane

#include "volume/cluster_chain.h"

#include <algorithm>

namespace brovane {

namespace {

std::span<std::uint32_t> Numbers(const PlatformBlock& list) {
    return {reinterpret_cast<std::uint32_t*>(list.data()), list.size() / sizeof(std::uint32_t)};
}

}  // namespace

ClusterChain::ClusterChain(PlatformBlock list, ChainEnd end) : list_(std::move(list)), end_(end) {}

std::span<const std::uint32_t> ClusterChain::Clusters() const {
    return Numbers(list_);
}

void ClusterChain::Release() {
    list_.Release();
    end_ = ChainEnd::kNoChain;
}

std::optional<ClusterChain> ListClusterChain(Platform& platform, std::uint32_t firstCluster,
                                             std::uint16_t fatType, ByteSpan fatImage) {
    const ChainWalk walk = WalkChain(firstCluster, fatType, fatImage);
    if (walk.length == 0) {
        return ClusterChain({}, walk.end);
    }
    PlatformBlock list =
        PlatformBlock::Allocate(platform, std::size_t{walk.length} * sizeof(std::uint32_t));
    if (!list) {
        return std::nullopt;
    }
    const std::span<std::uint32_t> clusters = Numbers(list);
    ListChain(firstCluster, fatType, clusters, fatImage);
    const bool reserved =
        std::any_of(clusters.begin(), clusters.end(), [](std::uint32_t c) { return c < 2; });
    return ClusterChain(std::move(list), reserved ? ChainEnd::kReservedCluster : walk.end);
}

}  // namespace brovane

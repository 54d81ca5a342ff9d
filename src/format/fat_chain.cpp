#include "format/fat_chain.h"

#include <algorithm>
#include <optional>

#include "format/fat_entry.h"

namespace brovane {

namespace {

// What comes after a cluster of a chain.
enum class LinkKind {
    kOutside,  // its entry lies past the image: the cluster is not in the chain
    kFree,     // its entry is 0: the chain ends with it
    kEnd,      // its entry is the end value: the chain ends with it
    kNext,     // its entry names the next cluster
};

struct Link {
    LinkKind kind;
    std::uint32_t next;
};

struct Fat {
    std::uint16_t type;
    ByteSpan image;

    Link Follow(std::uint32_t cluster) const {
        const std::optional<std::uint32_t> entry = ReadFatEntry(cluster, type, image);
        if (!entry) {
            return {LinkKind::kOutside, 0};
        }
        if (*entry == 0) {
            return {LinkKind::kFree, 0};
        }
        if (*entry == EndOfChain(type)) {
            return {LinkKind::kEnd, 0};
        }
        return {LinkKind::kNext, *entry};
    }

    std::uint32_t Next(std::uint32_t cluster) const { return Follow(cluster).next; }
};

bool OpensChain(std::uint32_t firstCluster, std::uint16_t fatType) {
    return IsFatTypeCode(fatType) && (firstCluster & kFat32ClusterMask) != 0 &&
           SignificantCluster(firstCluster, fatType) != EndOfChain(fatType);
}

// Clusters in front of the circle: walks two markers a circle's length
// apart until they meet, which they do where the circle closes.
std::uint64_t LeadLength(const Fat& fat, std::uint32_t start, std::uint64_t circleLength) {
    std::uint32_t behind = start;
    std::uint32_t ahead = start;
    for (std::uint64_t i = 0; i < circleLength; ++i) {
        ahead = fat.Next(ahead);
    }
    std::uint64_t lead = 0;
    while (behind != ahead) {
        behind = fat.Next(behind);
        ahead = fat.Next(ahead);
        ++lead;
    }
    return lead;
}

// Brent's method: a marker waits at the cluster reached after each power of
// two steps; the walk ends at a chain end, or when it comes back to the
// marker, which tells the circle's length.
struct Count {
    std::uint64_t clusters;
    ChainEnd end;
};

Count CountClusters(const Fat& fat, std::uint32_t start) {
    std::uint32_t marker = start;
    std::uint32_t cluster = start;
    std::uint64_t steps = 0;
    std::uint64_t sinceMarker = 0;
    std::uint64_t power = 1;
    for (;;) {
        const Link link = fat.Follow(cluster);
        if (link.kind == LinkKind::kOutside) {
            return {steps, ChainEnd::kPastFat};
        }
        if (link.kind != LinkKind::kNext) {
            return {steps + 1,
                    link.kind == LinkKind::kFree ? ChainEnd::kFreeEntry : ChainEnd::kEndMark};
        }
        cluster = link.next;
        ++steps;
        ++sinceMarker;
        if (cluster == marker) {
            return {LeadLength(fat, start, sinceMarker) + sinceMarker, ChainEnd::kRepeat};
        }
        if (sinceMarker == power) {
            marker = cluster;
            power *= 2;
            sinceMarker = 0;
        }
    }
}

}  // namespace

ChainWalk WalkChain(std::uint32_t firstCluster, std::uint16_t fatType, ByteSpan fatImage) {
    if (!OpensChain(firstCluster, fatType)) {
        return {};
    }
    // Every counted cluster has its own entry in the image, so the count is
    // bounded by the image's entries and by the 28-bit cluster numbers.
    const Fat fat{fatType, fatImage};
    const Count count = CountClusters(fat, SignificantCluster(firstCluster, fatType));
    return {static_cast<std::uint32_t>(count.clusters), count.end};
}

std::uint32_t ChainLength(std::uint32_t firstCluster, std::uint16_t fatType, ByteSpan fatImage) {
    return WalkChain(firstCluster, fatType, fatImage).length;
}

std::uint32_t ListChain(std::uint32_t firstCluster, std::uint16_t fatType,
                        std::span<std::uint32_t> list, ByteSpan fatImage) {
    const std::uint32_t length = ChainLength(firstCluster, fatType, fatImage);
    const auto filled = static_cast<std::uint32_t>(std::min<std::size_t>(list.size(), length));
    const Fat fat{fatType, fatImage};
    std::uint32_t cluster = SignificantCluster(firstCluster, fatType);
    for (std::uint32_t i = 0; i < filled; ++i) {
        list[i] = cluster;
        cluster = fat.Next(cluster);
    }
    std::fill(list.begin() + filled, list.end(), 0u);
    return filled;
}

}  // namespace brovane

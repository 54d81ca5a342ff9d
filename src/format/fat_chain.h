// Cluster chains in a FAT image held in memory. A chain starts at a first
// cluster and follows each cluster's entry to the next. It ends at a cluster
// whose entry is 0 or exactly the end-of-chain value of its type (the other
// reserved values, 0xFFF7 and up on FAT16 and their FAT12 and FAT32
// counterparts, are followed as cluster numbers). Damaged FATs end it too:
// - a cluster whose entry lies past the image is not part of the chain (the
//   FAT cannot describe it), so the chain ends at the cluster before it;
// - a cluster the chain already holds ends it where the circle closes, so
//   every cluster appears at most once.
// Both walks take time in proportion to the chain and use no memory beyond a
// few numbers (circles are found by Brent's method), so any FAT, however
// large or damaged, is walked in bounded time without allocating.
#pragma once

#include <cstdint>
#include <span>

#include "format/little_endian.h"

namespace brovane {

// How a chain's walk ended: at an entry that ends it (the end value or 0),
// at a cluster whose entry lies past the image, or where it came back to a
// cluster it holds. kReservedCluster is for a listed chain that holds
// cluster 0 or 1, which address no data: whatever ended its walk, its data
// cannot be read from there on (the walk alone does not tell it).
enum class ChainEnd : std::uint8_t {
    kNoChain,
    kEndMark,
    kFreeEntry,
    kPastFat,
    kRepeat,
    kReservedCluster,
};

struct ChainWalk {
    std::uint32_t length = 0;
    ChainEnd end = ChainEnd::kNoChain;
};

// The chain's length (ChainLength) and how its walk ended: kNoChain when
// the first cluster opens none, kPastFat (length 0) when its entry lies
// past the image.
ChainWalk WalkChain(std::uint32_t firstCluster, std::uint16_t fatType, ByteSpan fatImage);

// The number of clusters in the chain. 0 when there is no chain: the first
// cluster is 0 with its top 4 bits cleared, is itself the end-of-chain value
// of its type (FAT32: after clearing its top 4 bits), has its entry past the
// image, or the code is not a FAT type (3, 4 or 9).
std::uint32_t ChainLength(std::uint32_t firstCluster, std::uint16_t fatType, ByteSpan fatImage);

// Fills the list with the chain's clusters, first cluster first, each number
// with its top 4 bits cleared on FAT32: exactly the clusters ChainLength
// counts, as far as the list has room. Places past the chain's end are set
// to 0. Answers how many places hold clusters.
std::uint32_t ListChain(std::uint32_t firstCluster, std::uint16_t fatType,
                        std::span<std::uint32_t> list, ByteSpan fatImage);

}  // namespace brovane

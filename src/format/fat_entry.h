// One entry of a file allocation table, for the three FAT types: where the
// entry of a cluster lies in a FAT image, what it holds, and which value ends
// a chain. The type is the item's FAT type code (3, 4 or 9), passed as a
// plain number so that this layer needs nothing from the tree.
#pragma once

#include <cstdint>
#include <optional>

#include "format/little_endian.h"

namespace brovane {

// FAT type codes, as a tree item's `fatType` carries them.
inline constexpr std::uint16_t kFat16Code = 3;
inline constexpr std::uint16_t kFat12Code = 4;
inline constexpr std::uint16_t kFat32Code = 9;

// FAT32 keeps 28 significant bits in a cluster number and in an entry.
inline constexpr std::uint32_t kFat32ClusterMask = 0x0FFFFFFF;

// True for the three codes above.
bool IsFatTypeCode(std::uint16_t fatType);

// The one value that ends a chain besides 0: 0xFFFF, 0xFFF or 0x0FFFFFFF.
// 0 for a code that is not a FAT type.
std::uint32_t EndOfChain(std::uint16_t fatType);

// The cluster number as the FAT addresses it: the top 4 bits cleared on
// FAT32, unchanged on FAT12 and FAT16.
std::uint32_t SignificantCluster(std::uint32_t cluster, std::uint16_t fatType);

// Where the entry of a cluster lies in a FAT image: its first byte and the
// bytes read for it (FAT12: the two that hold its 12 bits). 64 bits, so no
// cluster number can wrap the offset. A code that is not a FAT type is
// placed as FAT32.
struct FatEntryPlace {
    std::uint64_t offset;
    std::uint64_t width;
};
FatEntryPlace PlaceOfFatEntry(std::uint32_t cluster, std::uint16_t fatType);

// The entry of the cluster (FAT32: masked to 28 bits). Empty when any of its
// bytes lies past the image, or when the code is not a FAT type: such an
// entry is never read.
std::optional<std::uint32_t> ReadFatEntry(std::uint32_t cluster, std::uint16_t fatType,
                                          ByteSpan fatImage);

}  // namespace brovane

#include "format/fat_entry.h"

namespace brovane {

namespace {

constexpr std::uint32_t kFat12Mask = 0x0FFF;
// The end marks: every significant bit of the entry set (FAT32: kFat32ClusterMask).
constexpr std::uint32_t kFat16End = 0xFFFF;
constexpr std::uint32_t kFat12End = kFat12Mask;

std::uint32_t DecodeFat12(std::uint16_t word, std::uint32_t cluster) {
    return (cluster % 2 == 0) ? (word & kFat12Mask) : static_cast<std::uint32_t>(word >> 4);
}

}  // namespace

FatEntryPlace PlaceOfFatEntry(std::uint32_t cluster, std::uint16_t fatType) {
    switch (fatType) {
        case kFat16Code:
            return {2 * std::uint64_t{cluster}, 2};
        case kFat12Code:
            return {3 * std::uint64_t{cluster} / 2, 2};
        default:
            return {4 * std::uint64_t{cluster & kFat32ClusterMask}, 4};
    }
}

bool IsFatTypeCode(std::uint16_t fatType) {
    return fatType == kFat16Code || fatType == kFat12Code || fatType == kFat32Code;
}

std::uint32_t EndOfChain(std::uint16_t fatType) {
    switch (fatType) {
        case kFat16Code:
            return kFat16End;
        case kFat12Code:
            return kFat12End;
        case kFat32Code:
            return kFat32ClusterMask;
        default:
            return 0;
    }
}

std::uint32_t SignificantCluster(std::uint32_t cluster, std::uint16_t fatType) {
    return fatType == kFat32Code ? cluster & kFat32ClusterMask : cluster;
}

std::optional<std::uint32_t> ReadFatEntry(std::uint32_t cluster, std::uint16_t fatType,
                                          ByteSpan fatImage) {
    if (!IsFatTypeCode(fatType)) {
        return std::nullopt;
    }
    const FatEntryPlace place = PlaceOfFatEntry(cluster, fatType);
    if (place.offset + place.width > fatImage.size()) {
        return std::nullopt;
    }
    const auto offset = static_cast<std::size_t>(place.offset);
    switch (fatType) {
        case kFat16Code:
            return ReadU16(fatImage, offset);
        case kFat12Code:
            return DecodeFat12(ReadU16(fatImage, offset), cluster);
        default:
            return ReadU32(fatImage, offset) & kFat32ClusterMask;
    }
}

}  // namespace brovane

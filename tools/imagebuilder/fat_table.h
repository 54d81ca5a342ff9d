// One FAT held in memory: 12-, 16- or 32-bit entries packed little-endian.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

struct FatTable {
    FatKind kind = FatKind::Fat16;
    std::vector<std::uint8_t> bytes;  // sectors per FAT x 512
};

FatTable MakeFatTable(FatKind kind, std::uint32_t sectorsPerFat);

// Entries that do not fit in the image are not written (nor read: 0).
void SetFatEntry(FatTable& fat, std::uint32_t cluster, std::uint32_t value);
std::uint32_t GetFatEntry(const FatTable& fat, std::uint32_t cluster);

std::uint32_t EndOfChainMark(FatKind kind);

// Entry 0 holds the media byte, entry 1 an end-of-chain mark.
void WriteReservedEntries(FatTable& fat, std::uint8_t media);

// Links the clusters in the order given and ends the chain after the last.
void WriteChain(FatTable& fat, std::span<const std::uint32_t> clusters);

}  // namespace brovane::imagebuilder

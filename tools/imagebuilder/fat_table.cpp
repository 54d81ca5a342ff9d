#include "imagebuilder/fat_table.h"

#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder {

namespace {

// Byte offset of the entry, and whether all of its bytes lie in the image.
bool EntryOffset(const FatTable& fat, std::uint32_t cluster, std::size_t& offset) {
    const std::uint64_t c = cluster;
    const std::uint64_t at = fat.kind == FatKind::Fat12   ? c * 3 / 2
                             : fat.kind == FatKind::Fat16 ? c * 2
                                                          : c * 4;
    const std::uint64_t width = fat.kind == FatKind::Fat32 ? 4 : 2;
    offset = static_cast<std::size_t>(at);
    return at + width <= fat.bytes.size();
}

}  // namespace

FatTable MakeFatTable(FatKind kind, std::uint32_t sectorsPerFat) {
    return {kind, std::vector<std::uint8_t>(std::size_t{sectorsPerFat} * kSectorBytes, 0)};
}

void SetFatEntry(FatTable& fat, std::uint32_t cluster, std::uint32_t value) {
    std::size_t at = 0;
    if (!EntryOffset(fat, cluster, at)) {
        return;
    }
    switch (fat.kind) {
        case FatKind::Fat12: {
            const std::uint16_t word = GetU16(fat.bytes, at);
            const std::uint16_t entry = value & 0x0FFF;
            PutU16(fat.bytes, at,
                   static_cast<std::uint16_t>(cluster % 2 == 0 ? (word & 0xF000) | entry
                                                               : (word & 0x000F) | (entry << 4)));
            break;
        }
        case FatKind::Fat16:
            PutU16(fat.bytes, at, static_cast<std::uint16_t>(value));
            break;
        case FatKind::Fat32:
            PutU32(fat.bytes, at, value);
            break;
    }
}

std::uint32_t GetFatEntry(const FatTable& fat, std::uint32_t cluster) {
    std::size_t at = 0;
    if (!EntryOffset(fat, cluster, at)) {
        return 0;
    }
    switch (fat.kind) {
        case FatKind::Fat12: {
            const std::uint16_t word = GetU16(fat.bytes, at);
            return cluster % 2 == 0 ? word & 0x0FFFu : static_cast<std::uint32_t>(word >> 4);
        }
        case FatKind::Fat16:
            return GetU16(fat.bytes, at);
        case FatKind::Fat32:
            return GetU32(fat.bytes, at) & 0x0FFFFFFF;
    }
    return 0;
}

std::uint32_t EndOfChainMark(FatKind kind) {
    switch (kind) {
        case FatKind::Fat12:
            return 0xFFF;
        case FatKind::Fat16:
            return 0xFFFF;
        case FatKind::Fat32:
            return 0x0FFFFFFF;
    }
    return 0;
}

void WriteReservedEntries(FatTable& fat, std::uint8_t media) {
    SetFatEntry(fat, 0, (EndOfChainMark(fat.kind) & ~0xFFu) | media);
    SetFatEntry(fat, 1, EndOfChainMark(fat.kind));
}

void WriteChain(FatTable& fat, std::span<const std::uint32_t> clusters) {
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const bool last = i + 1 == clusters.size();
        SetFatEntry(fat, clusters[i], last ? EndOfChainMark(fat.kind) : clusters[i + 1]);
    }
}

}  // namespace brovane::imagebuilder

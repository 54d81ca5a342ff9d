// Small FAT images and directory data written byte by byte, for the format
// tests: each helper stores a value the way the disk holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace brovane::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, value & 0xFFFF);
    PutU16(bytes, offset + 2, value >> 16);
}

inline void SetFat16(Bytes& fat, std::uint32_t cluster, std::uint32_t value) {
    PutU16(fat, 2 * std::size_t{cluster}, value);
}

inline void SetFat32(Bytes& fat, std::uint32_t cluster, std::uint32_t value) {
    PutU32(fat, 4 * std::size_t{cluster}, value);
}

// Two 12-bit entries share three bytes; the other entry's nibble is kept.
inline void SetFat12(Bytes& fat, std::uint32_t cluster, std::uint32_t value) {
    const std::size_t offset = 3 * std::size_t{cluster} / 2;
    const std::uint32_t word = fat.at(offset) | fat.at(offset + 1) << 8;
    const std::uint32_t merged = cluster % 2 == 0 ? (word & 0xF000) | (value & 0x0FFF)
                                                  : (word & 0x000F) | (value & 0x0FFF) << 4;
    PutU16(fat, offset, merged);
}

// A short entry: `name` is the 11 bytes of name and extension as stored.
inline void PutShortEntry(Bytes& data, std::size_t index, std::string_view name,
                          std::uint8_t attributes) {
    const std::size_t base = index * 32;
    for (std::size_t i = 0; i < 11; ++i) {
        data.at(base + i) = i < name.size() ? static_cast<std::uint8_t>(name[i]) : ' ';
    }
    data.at(base + 11) = attributes;
}

// A long-name slot holding up to 13 characters of `part`; when `part` is
// shorter, a 0 code unit follows it and 0xFFFF units fill the rest.
inline void PutSlot(Bytes& data, std::size_t index, std::uint8_t sequence, std::string_view part) {
    static constexpr std::size_t kOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    const std::size_t base = index * 32;
    data.at(base) = sequence;
    data.at(base + 11) = 0x0F;
    for (std::size_t i = 0; i < 13; ++i) {
        const std::uint32_t unit = i < part.size()    ? static_cast<std::uint8_t>(part[i])
                                   : i == part.size() ? 0u
                                                      : 0xFFFFu;
        PutU16(data, base + kOffsets[i], unit);
    }
}

}  // namespace brovane::test

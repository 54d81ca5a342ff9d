// Little-endian reads and writes at byte offsets of a sector or entry buffer.
// Every on-disk structure of the builder is written through these, at named
// offsets, never through packed native structs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace brovane::imagebuilder {

inline void PutU8(std::span<std::uint8_t> bytes, std::size_t offset, std::uint8_t value) {
    bytes[offset] = value;
}

inline void PutU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, static_cast<std::uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return GetU16(bytes, offset) | (static_cast<std::uint32_t>(GetU16(bytes, offset + 2)) << 16);
}

// Writes a field of `width` bytes with the text's first bytes, padded with `pad`.
inline void PutText(std::span<std::uint8_t> bytes, std::size_t offset, std::string_view text,
                    std::size_t width, std::uint8_t pad = ' ') {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : pad;
    }
}

// Writes a value of 1, 2 or 4 bytes; the value is cut to the width.
inline void PutField(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width,
                     std::uint32_t value) {
    for (std::size_t i = 0; i < std::min<std::size_t>(width, 4); ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace brovane::imagebuilder

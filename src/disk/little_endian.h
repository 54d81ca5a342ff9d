// Little-endian fields read from bytes at their offsets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brovane {

inline std::uint8_t ReadU8(const std::uint8_t* bytes, std::size_t offset) {
    return bytes[offset];
}

inline std::uint16_t ReadU16(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

inline std::uint32_t ReadU32(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace brovane

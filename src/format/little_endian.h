// Little-endian fields read from bytes at their offsets. Every read is
// bounded by the span: a byte past its end reads as 0, so a decoder can
// never step out of the block it was given.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace brovane {

using ByteSpan = std::span<const std::uint8_t>;

inline std::uint8_t ReadU8(ByteSpan bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes[offset] : std::uint8_t{0};
}

inline std::uint16_t ReadU16(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(ReadU8(bytes, offset) | ReadU8(bytes, offset + 1) << 8);
}

inline std::uint32_t ReadU32(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(ReadU16(bytes, offset)) |
           static_cast<std::uint32_t>(ReadU16(bytes, offset + 2)) << 16;
}

// The bytes [offset, offset + count) that lie inside the span.
inline ByteSpan SubSpan(ByteSpan bytes, std::size_t offset, std::size_t count) {
    if (offset >= bytes.size()) {
        return {};
    }
    return bytes.subspan(offset, std::min(count, bytes.size() - offset));
}

}  // namespace brovane

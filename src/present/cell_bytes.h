// Where a callback cell's bytes lie in the pane's buffer. Row numbers and
// offsets come from the rows' item data, so each cell checks its own bytes
// against the buffer's real size: a cell whose bytes are not all inside the
// buffer has none and is shown blank.
#pragma once

#include <cstdint>
#include <optional>

#include "format/little_endian.h"

namespace brovane {

// The `width` bytes at row × rowBytes + offset, or nothing when any of them
// lies past the buffer (the product is never allowed to wrap).
inline std::optional<ByteSpan> CellBytes(ByteSpan buffer, std::uint64_t row, std::uint64_t rowBytes,
                                         std::uint64_t offset, std::uint64_t width) {
    std::uint64_t size = buffer.size();
    if (rowBytes != 0 && row > size / rowBytes) {
        return std::nullopt;
    }
    std::uint64_t start = row * rowBytes;  // at most size: no wrap
    if (offset > size - start || size - start - offset < width) {
        return std::nullopt;
    }
    start += offset;
    return buffer.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(width));
}

}  // namespace brovane

#include "present/fat_cell_text.h"

#include <optional>

#include "format/fat_entry.h"
#include "present/cell_bytes.h"
#include "present/hex_text.h"

namespace brovane {

namespace {

constexpr int kEntryNumberDigits = 8;
constexpr std::uint64_t kFat12RowBytes = 24;

// The entry's index in its row (0-15) for columns 1-16.
std::optional<unsigned> EntryColumn(int column) {
    if (column < 1 || column > kFatEntriesPerRow) {
        return std::nullopt;
    }
    return static_cast<unsigned>(column - 1);
}

// The little-endian word of `width` bytes at rowOffset + index × width.
std::optional<std::uint32_t> WordAt(const RightPaneState& pane, std::uintptr_t rowOffset,
                                    unsigned index, unsigned width) {
    std::optional<ByteSpan> bytes =
        CellBytes(pane.currentBuffer.bytes(), rowOffset, 1, std::uint64_t{index} * width, width);
    if (!bytes) {
        return std::nullopt;
    }
    return width == 2 ? ReadU16(*bytes, 0) : ReadU32(*bytes, 0);
}

// Column 0 (the number of the row's first entry), or the entry of a column.
template <typename Entry>
void FatCell(int column, std::uint64_t firstEntry, Entry entry, int digits, std::string& text) {
    if (column == 0) {
        AppendHex(text, firstEntry, kEntryNumberDigits);
    } else if (std::optional<unsigned> index = EntryColumn(column)) {
        if (std::optional<std::uint32_t> value = entry(*index)) {
            AppendHex(text, *value, digits);
        }
    }
}

}  // namespace

void Fat16CellText(const RightPaneState& pane, int column, std::uintptr_t rowOffset,
                   std::string& text) {
    auto entry = [&](unsigned index) { return WordAt(pane, rowOffset, index, 2); };
    FatCell(column, rowOffset / 2, entry, 4, text);
}

void Fat32CellText(const RightPaneState& pane, int column, std::uintptr_t rowOffset,
                   std::string& text) {
    auto entry = [&](unsigned index) -> std::optional<std::uint32_t> {
        std::optional<std::uint32_t> word = WordAt(pane, rowOffset, index, 4);
        if (!word) {
            return std::nullopt;
        }
        return *word & kFat32ClusterMask;
    };
    FatCell(column, rowOffset / 4, entry, 8, text);
}

// Two entries share three bytes: an even entry is the low 12 bits of the
// word at its first byte, an odd one the high 12 bits. Both bytes of the
// word must lie inside the buffer.
void Fat12CellText(const RightPaneState& pane, int column, std::uintptr_t row, std::string& text) {
    auto entry = [&](unsigned index) -> std::optional<std::uint32_t> {
        std::optional<ByteSpan> bytes =
            CellBytes(pane.currentBuffer.bytes(), row, kFat12RowBytes, index * 3u / 2u, 2);
        if (!bytes) {
            return std::nullopt;
        }
        std::uint16_t word = ReadU16(*bytes, 0);
        return index % 2 == 0 ? word & 0xFFFu : word >> 4u;
    };
    FatCell(column, std::uint64_t{row} * kFatEntriesPerRow, entry, 3, text);
}

}  // namespace brovane

#include "present/dump_cell_text.h"

#include <optional>

#include "present/cell_bytes.h"
#include "present/hex_text.h"

namespace brovane {

namespace {

// The offset counts 16-byte rows from the item's (or the chain's) first
// byte, so it runs on as the user pages. The low 32 bits of the offset are
// shown: past 4 GiB the column wraps.
void AppendRowOffset(const RightPaneState& pane, std::uintptr_t row, std::string& text) {
    std::uint64_t firstRow =
        std::uint64_t{pane.unitSectors} * pane.currentIndex * kDumpRowsPerSector;
    std::uint64_t offset = (firstRow + row) * kDumpBytesPerRow;
    AppendHex(text, offset & 0xFFFFFFFFu, 8);
}

std::optional<std::uint8_t> RowByte(const RightPaneState& pane, std::uintptr_t row, int index) {
    std::optional<ByteSpan> bytes =
        CellBytes(pane.currentBuffer.bytes(), row, kDumpBytesPerRow, std::uint64_t(index), 1);
    if (!bytes) {
        return std::nullopt;
    }
    return (*bytes)[0];
}

}  // namespace

void DumpCellText(const RightPaneState& pane, int column, std::uintptr_t row, std::string& text) {
    constexpr int kFirstCharacterColumn = kDumpGapColumn + 1;
    if (column == 0) {
        AppendRowOffset(pane, row, text);
    } else if (column > 0 && column < kDumpGapColumn) {
        if (std::optional<std::uint8_t> byte = RowByte(pane, row, column - 1)) {
            AppendHex(text, *byte, 2);
        }
    } else if (column >= kFirstCharacterColumn && column <= kDumpLastColumn) {
        // The byte itself, unfiltered; a zero byte would end the text, so it gives none.
        std::optional<std::uint8_t> byte = RowByte(pane, row, column - kFirstCharacterColumn);
        if (byte && *byte != 0) {
            text += static_cast<char>(*byte);
        }
    }
}

}  // namespace brovane

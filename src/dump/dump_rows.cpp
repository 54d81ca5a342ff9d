#include "dump/dump_rows.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace brovane {

namespace {

constexpr int kByteColumnWidth = 30;
constexpr int kGapColumnWidth = 15;
constexpr int kCharacterColumnWidth = 20;

std::string HexHeading(int value, const char* format) {
    std::array<char, 4> text{};
    std::snprintf(text.data(), text.size(), format, value);
    return text.data();
}

}  // namespace

void InsertDumpColumns(ScreenOperations& screen, int offsetWidth) {
    int column = 0;
    screen.InsertListColumn(column++, "Offset", ColumnAlign::Left, offsetWidth);
    for (int i = 0; i < kDumpBytesPerRow; ++i) {
        screen.InsertListColumn(column++, HexHeading(i, "%02X"), ColumnAlign::Left,
                                kByteColumnWidth);
    }
    screen.InsertListColumn(column++, "", ColumnAlign::Left, kGapColumnWidth);
    for (int i = 0; i < kDumpBytesPerRow; ++i) {
        screen.InsertListColumn(column++, HexHeading(i, "%01X"), ColumnAlign::Left,
                                kCharacterColumnWidth);
    }
}

void InsertDumpRows(ScreenOperations& screen, std::uint32_t sectors) {
    std::uint64_t rows = std::uint64_t{sectors} * kDumpRowsPerSector;
    for (std::uint64_t row = 0; row < rows; ++row) {
        screen.InsertCallbackListItem(static_cast<int>(row), static_cast<std::uintptr_t>(row));
    }
}

void RefreshDumpRows(ScreenOperations& screen, std::uint32_t sectors) {
    std::uint64_t rows =
        std::min<std::uint64_t>(std::uint64_t{sectors} * kDumpRowsPerSector,
                                static_cast<std::uint64_t>(std::max(screen.GetListItemCount(), 0)));
    for (std::uint64_t row = 0; row < rows; ++row) {
        int index = static_cast<int>(row);
        bool focused = screen.IsListItemFocused(index);
        screen.SetListItemState(index, true, focused);
        screen.SetListItemState(index, false, focused);
    }
    if (rows > 0) {
        screen.RedrawListItems(0, static_cast<int>(rows - 1));
    }
}

}  // namespace brovane

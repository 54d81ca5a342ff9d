#include "present/fat_copies_list.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "format/fat_entry.h"
#include "present/hex_text.h"
#include "present/list_pane.h"

namespace brovane {

namespace {

constexpr int kEntryNumberDigits = 8;
constexpr int kEntryColumnWidth = 100;
constexpr int kCopyColumnWidth = 80;

int ValueDigits(std::uint16_t fatType) {
    switch (fatType) {
        case kFat12Code:
            return 3;
        case kFat16Code:
            return 4;
        default:
            return 8;
    }
}

void InsertCopyColumns(ScreenOperations& screen, unsigned copies) {
    screen.InsertListColumn(0, "FAT Entry", ColumnAlign::Left, kEntryColumnWidth);
    for (unsigned n = 1; n <= copies; ++n) {
        screen.InsertListColumn(static_cast<int>(n), "FAT " + std::to_string(n), ColumnAlign::Left,
                                kCopyColumnWidth);
    }
}

std::string CountText(const FatCopiesComparison& comparison) {
    std::string text = "Differing FAT entries: " + std::to_string(comparison.differing);
    if (comparison.unreadable > 0) {
        text += ", unreadable entries not compared: " + std::to_string(comparison.unreadable);
    }
    return text;
}

}  // namespace

void ShowFatCopies(ScreenOperations& screen, RightPaneState& pane, FatCopiesComparison comparison) {
    ReleaseUnit(pane, VM_FAT_COPIES);
    ResetListPane(screen);
    InsertCopyColumns(screen, comparison.copies);
    pane.fatCopies = std::move(comparison);
    // The list counts rows in int; a FAT of one block never lists that many.
    const std::size_t rows = std::min<std::size_t>(pane.fatCopies.entries.size(), INT_MAX);
    for (std::size_t row = 0; row < rows; ++row) {
        screen.InsertCallbackListItem(static_cast<int>(row), row);
    }
    screen.SetStatusText(kPositionPane, CountText(pane.fatCopies));
    screen.SetStatusText(kProgressPane, "");
}

void FatCopiesCellText(const RightPaneState& pane, int column, std::uintptr_t row,
                       std::string& text) {
    const FatCopiesComparison& comparison = pane.fatCopies;
    if (row >= comparison.entries.size() || column < 0 ||
        static_cast<unsigned>(column) > comparison.copies) {
        return;
    }
    if (column == 0) {
        AppendHex(text, comparison.entries[row], kEntryNumberDigits);
        return;
    }
    const std::size_t at = row * comparison.copies + static_cast<std::size_t>(column - 1);
    if (at >= comparison.values.size()) {
        return;
    }
    if (comparison.values[at] == kUnreadableFatEntry) {
        text += kUnreadableEntryText;
    } else {
        AppendHex(text, comparison.values[at], ValueDigits(comparison.fatType));
    }
}

}  // namespace brovane

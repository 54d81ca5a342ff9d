#include "dump/byte_edit.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "present/dump_cell_text.h"
#include "screen/command_table.h"
#include "screen/messages.h"

namespace brovane {

namespace {

constexpr auto kBytesPerRow = static_cast<std::size_t>(kDumpBytesPerRow);

}  // namespace

std::optional<int> FirstFocusedRow(ScreenOperations& screen) {
    int rows = screen.GetListItemCount();
    for (int row = 0; row < rows; ++row) {
        if (screen.IsListItemFocused(row)) {
            return row;
        }
    }
    return std::nullopt;
}

void EditFocusedRow(ScreenOperations& screen, RightPaneState& pane) {
    if (!screen.IsMenuChecked(CMD_SECTOR_DUMPING) && !screen.IsMenuChecked(CMD_RAW_DUMPING)) {
        screen.Notify(kEditingNeedsDumpingModeText);
        return;
    }
    std::optional<int> row = FirstFocusedRow(screen);
    if (!row) {
        return;
    }
    std::size_t first = static_cast<std::size_t>(*row) * kBytesPerRow;
    if (first + kBytesPerRow > pane.currentBuffer.size()) {
        return;
    }
    std::uint8_t* bytes = pane.currentBuffer.data() + first;
    EditBytes editBytes{};
    std::copy_n(bytes, kBytesPerRow, editBytes.begin());
    if (!screen.EditBytesDialog(editBytes)) {
        return;
    }
    std::copy(editBytes.begin(), editBytes.end(), bytes);
    screen.SetListItemState(*row, false, true);
    screen.SetListItemState(*row, true, true);
    screen.RedrawListItems(*row, *row);
}

void ShowDumpContextMenu(ScreenOperations& screen, bool directoryListing) {
    std::vector<PopupEntry> entries = {
        {CMD_COPY, "&Copy"},
        {CMD_PASTE, "&Paste"},
        {CMD_SAFE_PASTE, "&Safe Paste"},
        {CMD_DELETE, "&Delete"},
        {CMD_SAFE_DELETE, "S&afe Delete"},
        {CMD_DOOMED_DELETE, "D&oomed Delete"},
    };
    if (directoryListing) {
        entries.push_back({CMD_COPY_OUT_ROW, "Copy &Out..."});
    }
    screen.ShowPopupMenu(entries);
}

}  // namespace brovane

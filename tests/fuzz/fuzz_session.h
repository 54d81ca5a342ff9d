// One start of the program on the fuzz platform's disks, with the text
// front-end, and the user's actions the targets share: selecting an item in
// a dumping mode and drawing rows of the right pane.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "fuzz/fuzz_platform.h"

namespace brovane::fuzz {

// The text front-end that also keeps each row's item data, so that a row's
// cells are asked of the session directly, as the GUI's list asks them for
// the rows it draws, without a copy of each text. Of the columns it keeps
// only their number: the list pane is cleared column 0 first, which costs
// the text front-end's headings a move each time, and no target prints them.
class FuzzScreen final : public TextScreen {
  public:
    explicit FuzzScreen(LineSink sink) : TextScreen(std::move(sink)) {}

    ScreenEvents* events = nullptr;

    int GetListColumnCount() override { return columns_; }
    void InsertListColumn(int, std::string_view, ColumnAlign, int) override { ++columns_; }
    void DeleteListColumn(int column) override {
        if (column >= 0 && column < columns_) {
            --columns_;
        }
    }

    void DeleteAllListItems() override {
        TextScreen::DeleteAllListItems();
        itemData_.clear();
    }
    int InsertListItem(int row, std::string_view text) override {
        return Keep(TextScreen::InsertListItem(row, text), std::nullopt);
    }
    int InsertCallbackListItem(int row, std::uintptr_t itemData) override {
        return Keep(TextScreen::InsertCallbackListItem(row, itemData), itemData);
    }

    // The item data of a callback row; nothing for a stored-text row.
    std::optional<std::uintptr_t> ItemData(int row) const {
        return row >= 0 && static_cast<std::size_t>(row) < itemData_.size()
                   ? itemData_[static_cast<std::size_t>(row)]
                   : std::nullopt;
    }

  private:
    int Keep(int row, std::optional<std::uintptr_t> itemData) {
        itemData_.insert(itemData_.begin() + row, itemData);
        return row;
    }

    std::vector<std::optional<std::uintptr_t>> itemData_;  // in row order
    int columns_ = 0;
};

// Started on construction, closed (every block given back, devices closed)
// on destruction. The platform answers every allocation while the program
// starts, then none larger than largestBlock. Message boxes go to the sink.
class FuzzSession {
  public:
    FuzzSession(FuzzPlatform& platform, std::size_t largestBlock, bool diskLibrary,
                TextScreen::LineSink sink = {})
        : screen(std::move(sink)), session(platform, screen), platform_(platform) {
        platform.settings.diskLibrary = diskLibrary;
        platform.largestBlock = SIZE_MAX;
        screen.SetEvents(&session);
        screen.events = &session;
        InitDiskAccess(session);
        platform.largestBlock = largestBlock;
    }
    ~FuzzSession() {
        ReleaseDiskAccess(session);
        platform_.largestBlock = SIZE_MAX;
    }
    FuzzSession(const FuzzSession&) = delete;
    FuzzSession& operator=(const FuzzSession&) = delete;

    FuzzScreen screen;
    Session session;

  private:
    FuzzPlatform& platform_;
};

enum class Mode { Structure, SectorCluster, RawSector };

// Selects the item in the mode, as the user does: the check marks set, then
// a click on the item. The selection is cleared first so that the click is
// a change.
inline void SelectInMode(TextScreen& screen, TreeItemHandle item, Mode mode) {
    screen.SelectTreeItem(kNoTreeItem);
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, mode == Mode::SectorCluster);
    screen.SetMenuChecked(CMD_RAW_DUMPING, mode == Mode::RawSector);
    screen.SelectTreeItem(item);
}

// A cell's text as the list draws it, valid until the next cell is asked.
inline std::string_view Cell(FuzzScreen& screen, int row, int column, std::string& stored) {
    if (std::optional<std::uintptr_t> itemData = screen.ItemData(row)) {
        return screen.events->GetCellText(column, *itemData);
    }
    stored = screen.CellText(row, column);
    return stored;
}

// Asks every cell of the row, as the list does when it draws it.
inline void DrawRow(FuzzScreen& screen, int row) {
    std::string stored;
    const int columns = screen.GetListColumnCount();
    for (int column = 0; column < columns; ++column) {
        Cell(screen, row, column, stored);
    }
}

inline void DrawAllRows(FuzzScreen& screen) {
    const int rows = screen.GetListItemCount();
    for (int row = 0; row < rows; ++row) {
        DrawRow(screen, row);
    }
}

// Draws the first and the last rows: the start and the end of a view's
// data, where a row count that disagrees with the data shows.
inline void DrawEnds(FuzzScreen& screen, int rowsAtEachEnd) {
    const int rows = screen.GetListItemCount();
    for (int row = 0; row < rows && row < rowsAtEachEnd; ++row) {
        DrawRow(screen, row);
    }
    for (int row = std::max(rowsAtEachEnd, rows - rowsAtEachEnd); row < rows; ++row) {
        DrawRow(screen, row);
    }
}

}  // namespace brovane::fuzz

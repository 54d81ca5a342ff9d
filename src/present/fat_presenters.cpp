// The three grids differ only in the values of one table: view mode,
// heading digits and widths, bytes a row, the rows' item data, and whether
// a failed read still lists the rows.
#include "present/fat_presenters.h"

#include "screen/messages.h"

#include <algorithm>
#include <climits>
#include <string>

#include "disk/sector_run.h"
#include "disk/sector_transfer.h"
#include "present/fat_cell_text.h"
#include "present/hex_text.h"
#include "present/list_pane.h"
#include "tree/item_run.h"

namespace brovane {

namespace {

struct FatGrid {
    ViewMode mode;
    int headingDigits;  // of the entry columns' headings, 0 to F
    int entryWidth;     // pixels
    std::uint32_t bytesPerRow;
    std::uint32_t itemDataStep;  // item data of row r: r × this
    bool listAfterFailedRead;
};

constexpr FatGrid kFat16Grid{VM_FAT16, 4, 40, 32, 32, true};
constexpr FatGrid kFat32Grid{VM_FAT32, 8, 75, 64, 64, true};
constexpr FatGrid kFat12Grid{VM_FAT12, 3, 35, 24, 1, false};

void InsertGridColumns(ScreenOperations& screen, const FatGrid& grid) {
    screen.InsertListColumn(0, "FAT Entry", ColumnAlign::Left, 100);
    std::string heading;
    for (int column = 1; column <= kFatEntriesPerRow; ++column) {
        heading.clear();
        AppendHex(heading, static_cast<std::uint64_t>(column - 1), grid.headingDigits);
        screen.InsertListColumn(column, heading, ColumnAlign::Left, grid.entryWidth);
    }
}

// The read never runs past the block the pane holds.
bool ReadWholeFat(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    std::uint64_t bytes = std::uint64_t{item.sectorCount} * kSectorBytes;
    if (pane.currentBuffer.size() < bytes) {
        return false;
    }
    return ReadSectors(io, ItemRun(item), pane.currentBuffer.data());
}

// Every row the FAT's bytes begin, the last one possibly partial.
std::uint64_t GridRows(const FatGrid& grid, std::uint32_t sectors) {
    std::uint64_t bytes = std::uint64_t{sectors} * kSectorBytes;
    return (bytes + grid.bytesPerRow - 1) / grid.bytesPerRow;
}

void InsertGridRows(ScreenOperations& screen, const FatGrid& grid, std::uint64_t rows) {
    // The list counts rows in int; a FAT that fits one block never has that many.
    rows = std::min<std::uint64_t>(rows, INT_MAX);
    for (std::uint64_t row = 0; row < rows; ++row) {
        screen.InsertCallbackListItem(static_cast<int>(row),
                                      static_cast<std::uintptr_t>(row * grid.itemDataStep));
    }
}

void ShowFatGrid(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item,
                 const FatGrid& grid) {
    ScreenOperations& screen = io.screen;
    ResetListPane(screen);
    pane.viewMode = grid.mode;
    InsertGridColumns(screen, grid);
    if (!ReadWholeFat(io, pane, item)) {
        screen.Notify(kFatNotAccessibleText);
        if (!grid.listAfterFailedRead) {
            return;
        }
    }
    InsertGridRows(screen, grid, GridRows(grid, item.sectorCount));
    screen.SetStatusText(kPositionPane,
                         "Current Sector Number: " + std::to_string(item.relativeSector));
    screen.SetStatusText(kProgressPane, "");
}

}  // namespace

void ShowFat16(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    ShowFatGrid(io, pane, item, kFat16Grid);
}

void ShowFat32(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    ShowFatGrid(io, pane, item, kFat32Grid);
}

void ShowFat12(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    ShowFatGrid(io, pane, item, kFat12Grid);
}

}  // namespace brovane

// One start of the program on the fuzz platform's disks, with the text
// front-end, and the user's actions the targets share: selecting an item in
// a dumping mode and drawing rows of the right pane.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "app/damage_command.h"
#include "app/disk_copy_command.h"
#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "fuzz/fuzz_platform.h"

namespace brovane::fuzz {

// The text front-end that keeps only the number of list columns: the list
// pane is cleared column 0 first, which costs stored headings a move each,
// many times a run, and no target prints them.
class FuzzScreen final : public TextScreen {
  public:
    using TextScreen::TextScreen;
    int GetListColumnCount() override { return columns_; }
    void InsertListColumn(int, std::string_view, ColumnAlign, int) override { ++columns_; }
    void DeleteListColumn(int column) override {
        if (column >= 0 && column < columns_) {
            --columns_;
        }
    }

  private:
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

// Asks every cell of the row, as the list does when it draws it.
inline void DrawRow(TextScreen& screen, int row) {
    const int columns = screen.GetListColumnCount();
    for (int column = 0; column < columns; ++column) {
        screen.CellText(row, column);
    }
}

inline void DrawAllRows(TextScreen& screen) {
    const int rows = screen.GetListItemCount();
    for (int row = 0; row < rows; ++row) {
        DrawRow(screen, row);
    }
}

// Draws the first and the last rows: the start and the end of a view's
// data, where a row count that disagrees with the data shows.
inline void DrawEnds(TextScreen& screen, int rowsAtEachEnd) {
    const int rows = screen.GetListItemCount();
    for (int row = 0; row < rows && row < rowsAtEachEnd; ++row) {
        DrawRow(screen, row);
    }
    for (int row = std::max(rowsAtEachEnd, rows - rowsAtEachEnd); row < rows; ++row) {
        DrawRow(screen, row);
    }
}

// Copies the item to an image among the double's host files, structure
// first (the walk meets whatever the disk holds), and requires the image to
// be exactly the sectors the copy covers. A copy that does not start (no
// geometry for the disk library, nothing to copy) is fine.
inline void CopyAndCompare(FuzzSession& run, FuzzPlatform& platform, TreeItemHandle item) {
    const TreeItemInfo* info = run.screen.GetTreeItemInfo(item);
    const std::optional<CopyExtent> extent =
        info == nullptr ? std::nullopt : CopyExtentOf(platform, *info);
    if (!extent) {
        return;
    }
    const std::string image = "/fuzz/copy.img";
    const std::size_t largestBlock = platform.largestBlock;
    platform.largestBlock = SIZE_MAX;  // the copy's run buffer
    const std::optional<CopyResult> result = CopyItemToImage(run.session.Io(), *info, image);
    platform.largestBlock = largestBlock;
    if (!result) {
        return;
    }
    const MemoryDisk& disk = *platform.FindDisk(info->driveNumber);
    Require(result->outcome == CopyOutcome::kCopied);
    // By cylinder, head and sector the disk library reads where the geometry
    // the disk's own tables give says, which a damaged disk may give wrong,
    // as every view of it does then; by sector number it must be exact.
    const bool byChs =
        run.session.disk.diskAccessMode == DAM_DISK_LIBRARY && disk.int13Extensions == 0;
    Require(byChs || (result->bad == 0 &&
                      platform.hostFiles.files[image].bytes ==
                          PeekBytes(disk, std::uint64_t{extent->origin.baseSector} * kSectorBytes,
                                    extent->sectors * kSectorBytes)));
    platform.hostFiles.files.clear();
}

}  // namespace brovane::fuzz

#include "dump/sector_dump.h"

#include "screen/messages.h"

#include "disk/sector_transfer.h"
#include "dump/dump_position.h"
#include "dump/dump_rows.h"
#include "present/current_buffer_read.h"
#include "present/list_pane.h"
#include "tree/item_run.h"

namespace brovane {

namespace {

// The first sector of a disk, partition or volume: read by the item's own
// address, with the floppy reopened once when nothing arrived.
bool ReadByOwnAddress(const PlatformDiskScreen& io, RightPaneState& pane,
                      const TreeItemInfo& sector) {
    return ReadIntoCurrentBuffer(io, pane, sector, kReopenWhenNothingRead,
                                 {kSectorNotAccessibleText, kBootRecordNotAccessibleText});
}

bool ReadFirstSector(const PlatformDiskScreen& io, RightPaneState& pane,
                     const TreeItemInfo& sector) {
    if (sector.relativeSector == 0) {
        return ReadByOwnAddress(io, pane, sector);
    }
    if (!ReadSectors(io, ItemRun(sector), pane.currentBuffer.data())) {
        io.screen.Notify(kSectorNotAccessibleText);
        return false;
    }
    return true;
}

}  // namespace

void LoadFirstDumpSector(const PlatformDiskScreen& io, RightPaneState& pane,
                         const TreeItemInfo& item) {
    TreeItemInfo sector = item;
    sector.sectorCount = 1;
    pane.unitRead = pane.currentBuffer.size() >= kSectorBytes && ReadFirstSector(io, pane, sector);
    if (!pane.unitRead) {
        return;
    }
    InsertDumpRows(io.screen, 1);
    io.screen.SetStatusText(kPositionPane, SectorPositionText(sector.relativeSector));
}

bool PrepareSectorDump(const PlatformDiskScreen& io, RightPaneState& pane) {
    ResetListPane(io.screen);
    InsertDumpColumns(io.screen, kDumpOffsetWidth);
    pane.unitSectors = 1;
    if (!ReplaceCurrentBuffer(io.platform, pane, 1)) {
        io.screen.Notify(kNoBufferOneSpaceText);
        return false;
    }
    return true;
}

void ShowSectorDump(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    if (!PrepareSectorDump(io, pane)) {
        return;
    }
    pane.viewMode = VM_SECTOR_DUMP;
    pane.currentIndex = 0;
    LoadFirstDumpSector(io, pane, item);
    pane.canGoPrevious = false;
    pane.canGoNext = item.sectorCount != 1;
    pane.currentItem = item;
}

}  // namespace brovane

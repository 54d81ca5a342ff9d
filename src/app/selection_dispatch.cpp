#include "app/selection_dispatch.h"

#include "format/directory_entry.h"
#include "present/directory_presenter.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"
#include "screen/command_table.h"
#include "tree/fat_read.h"
#include "tree/volume_bounds.h"

namespace brovane {

namespace {

// Each selection starts the pane's state afresh, so nothing acts on a mode
// or position left from the item before, even when a later step fails.
void ResetPaneState(RightPaneState& pane, const TreeItemInfo& item) {
    pane.currentIndex = 0;
    pane.currentItem = item;
    pane.canGoPrevious = false;
    pane.canGoNext = false;
    pane.viewMode = VM_NONE;
}

// A directory or file item follows its cluster chain through the FAT, which
// is read into a current buffer of one FAT's size. The store of the listing
// before goes too. False (and an empty pane) when the buffer cannot be had.
bool PrepareChainBuffer(const DiskIo& io, RightPaneState& pane, const TreeItemInfo& item) {
    pane.currentBuffer.Release();
    ReleaseDirectoryRowStore(pane.directoryRows);
    pane.currentBuffer = AllocateFatImage(io.platform, item);
    if (!pane.currentBuffer) {
        ClearListPane(io.screen);
        io.screen.Notify("Fatal Error!  Not able to allocate a buffer!");
        return false;
    }
    return true;
}

// A file item in structure mode: the place of its cluster dump. The pane is
// emptied so that no row of the view before stays under the file.
void ShowFileClusters(const DiskIo& io, RightPaneState& pane, const TreeItemInfo& item) {
    static_cast<void>(pane);
    static_cast<void>(item);
    ClearListPane(io.screen);
}

void ShowDirectoryEntry(const DiskIo& io, RightPaneState& pane, const TreeItemInfo& item) {
    if (!PrepareChainBuffer(io, pane, item)) {
        return;
    }
    if ((item.attributes & kAttrDirectory) != 0) {
        ShowSubDirectory(io, pane, item);
    } else {
        ShowFileClusters(io, pane, item);
    }
}

void ShowStructure(const DiskIo& io, RightPaneState& pane, const TreeItemInfo& item) {
    switch (item.kind) {
        case IK_HARD_DISK:
        case IK_EXTENDED:
            ShowPartitionTable(io, pane, item);
            break;
        case IK_VOLUME:
        case IK_UNKNOWN:
            ShowBootRecord(io, pane, item);
            break;
        case IK_ROOT_DIR:
            ReleaseDirectoryRowStore(pane.directoryRows);
            ShowRootDirectory(io, pane, item);
            break;
        case IK_DIR_ENTRY:
            ShowDirectoryEntry(io, pane, item);
            break;
        default:
            break;
    }
}

}  // namespace

DumpingMode CurrentDumpingMode(ScreenOperations& screen) {
    if (screen.IsMenuChecked(CMD_RAW_DUMPING)) {
        return DumpingMode::RawSector;
    }
    return screen.IsMenuChecked(CMD_SECTOR_DUMPING) ? DumpingMode::SectorCluster
                                                    : DumpingMode::Structure;
}

void DispatchSelection(const DiskIo& io, RightPaneState& pane, const TreeItemInfo* info) {
    if (info == nullptr) {
        return;
    }
    const TreeItemInfo item = *info;
    io.screen.SetStatusText(kProgressPane, "");
    ResetPaneState(pane, item);
    if (item.sectorCount != 0 &&
        (!FitsInVolume(item) || !ReplaceCurrentBuffer(io.platform, pane, item.sectorCount))) {
        // No row may be drawn from the released buffer; the progress text stays.
        ClearListPane(io.screen);
        io.screen.Notify("Fatal Error!  Not able to allocate a buffer of memory!");
        return;
    }
    if (CurrentDumpingMode(io.screen) == DumpingMode::Structure) {
        ShowStructure(io, pane, item);
    }
    io.screen.SetStatusText(kProgressPane, "");
}

}  // namespace brovane

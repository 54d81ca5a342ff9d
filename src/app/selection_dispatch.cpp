#include "app/selection_dispatch.h"

#include "present/fat_presenters.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"
#include "screen/command_table.h"
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
        case IK_FAT16:
            ShowFat16(io, pane, item);
            break;
        case IK_FAT12:
            ShowFat12(io, pane, item);
            break;
        case IK_FAT32:
            ShowFat32(io, pane, item);
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

#include "app/selection_dispatch.h"

#include "screen/messages.h"

#include "dump/cluster_dump.h"
#include "dump/sector_dump.h"
#include "present/directory_presenter.h"
#include "present/fat_presenters.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"
#include "screen/command_table.h"
#include "tree/item_volume.h"
#include "volume/fat_image.h"
#include "volume/volume_blocks.h"

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
    ReleaseFatCopies(pane);
}

// A sub-directory is listed; a file shows its clusters as a dump.
void ShowDirectoryEntry(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo& item) {
    if (!PrepareChainBuffer(io, pane, item)) {
        return;
    }
    if (IsDirectory(item)) {
        ShowSubDirectory(io, pane, item);
    } else {
        ShowClusterDump(io, pane, item);
    }
}

void ShowStructure(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
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

// Raw sectors from the item's first sector: the first sector alone for a
// disk, volume or extended table, else to the end of the item's volume.
void ShowRawSectors(const PlatformDiskScreen& io, RightPaneState& pane, TreeItemInfo item) {
    bool firstSectorOnly =
        item.kind == IK_HARD_DISK || item.kind == IK_VOLUME || item.kind == IK_EXTENDED;
    item.sectorCount = firstSectorOnly ? 1 : item.volumeSectors - item.relativeSector;
    ShowSectorDump(io, pane, item);
}

// A file or directory is paged by clusters, every other item by sectors.
void ShowSectorsOrClusters(const PlatformDiskScreen& io, RightPaneState& pane,
                           const TreeItemInfo& item) {
    if (item.kind != IK_DIR_ENTRY) {
        ShowSectorDump(io, pane, item);
        return;
    }
    if (!PrepareChainBuffer(io, pane, item)) {
        return;
    }
    if (IsDirectory(item)) {
        ShowDirectoryClusterDump(io, pane, item);
    } else {
        ShowClusterDump(io, pane, item);
    }
}

}  // namespace

bool PrepareChainBuffer(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo& item) {
    pane.currentBuffer.Release();
    ReleaseDirectoryRowStore(pane.directoryRows);
    pane.currentBuffer = AllocateFatImage(io.platform, VolumeOf(item));
    if (!pane.currentBuffer) {
        ClearListPane(io.screen);
        io.screen.Notify(kNoBufferText);
        return false;
    }
    return true;
}

DumpingMode CurrentDumpingMode(ScreenOperations& screen) {
    if (screen.IsMenuChecked(CMD_RAW_DUMPING)) {
        return DumpingMode::RawSector;
    }
    return screen.IsMenuChecked(CMD_SECTOR_DUMPING) ? DumpingMode::SectorCluster
                                                    : DumpingMode::Structure;
}

void DispatchSelection(const PlatformDiskScreen& io, RightPaneState& pane,
                       const TreeItemInfo* info) {
    if (info == nullptr) {
        return;
    }
    const TreeItemInfo item = *info;
    io.screen.SetStatusText(kProgressPane, "");
    ResetPaneState(pane, item);
    if (item.sectorCount != 0 &&
        (!FitsVolumeDrive(io.platform, item.driveNumber, item.sectorCount) ||
         !ReplaceCurrentBuffer(io.platform, pane, item.sectorCount))) {
        // No row may be drawn from the released buffer; the progress text stays.
        ClearListPane(io.screen);
        io.screen.Notify(kNoBufferOfMemoryText);
        return;
    }
    switch (CurrentDumpingMode(io.screen)) {
        case DumpingMode::Structure:
            ShowStructure(io, pane, item);
            break;
        case DumpingMode::SectorCluster:
            ShowSectorsOrClusters(io, pane, item);
            break;
        case DumpingMode::RawSector:
            ShowRawSectors(io, pane, item);
            break;
    }
    io.screen.SetStatusText(kProgressPane, "");
}

}  // namespace brovane

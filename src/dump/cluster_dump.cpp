#include "dump/cluster_dump.h"

#include "screen/messages.h"

#include "disk/sector_transfer.h"
#include "dump/dump_position.h"
#include "dump/dump_rows.h"
#include "present/list_pane.h"
#include "screen/texts.h"
#include "tree/item_run.h"
#include "tree/item_volume.h"
#include "volume/chain_data.h"

namespace brovane {

namespace {

// Reads the FAT into the current buffer and lists the item's chain into
// clusterChain. False when the dump stops: after a message, or silently for
// an empty chain.
bool LoadChain(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    switch (LoadClusterChain(io, VolumeOf(item), item.firstCluster, pane.currentBuffer,
                             pane.clusterChain)) {
        case ChainLoad::kFatUnreadable:
            io.screen.Notify(kFatNotAccessibleText);
            return false;
        case ChainLoad::kNoMemory:
            io.screen.Notify(kNoFatEntriesBufferText);
            return false;
        case ChainLoad::kNoChain:
            return false;
        case ChainLoad::kListed:
            break;
    }
    return true;
}

// Gives up the FAT for a buffer of one cluster; false after the message.
bool MakeClusterBuffer(const PlatformDiskScreen& io, RightPaneState& pane,
                       std::string_view failure) {
    if (ReplaceCurrentBuffer(io.platform, pane, pane.unitSectors)) {
        return true;
    }
    io.screen.Notify(failure);
    pane.clusterChain.Release();
    return false;
}

void ShowFirstCluster(const PlatformDiskScreen& io, RightPaneState& pane) {
    InsertDumpRows(io.screen, pane.unitSectors);
    io.screen.SetStatusText(kPositionPane,
                            ClusterPositionText(CurrentCluster(pane), UnitStatusSector(pane)));
    io.screen.SetStatusText(kProgressPane, "");
    pane.canGoPrevious = false;
    pane.canGoNext = pane.clusterChain.Length() != 1;
}

}  // namespace

bool ReadCurrentUnit(const PlatformDiskScreen& io, RightPaneState& pane) {
    std::optional<TreeItemInfo> unit = CurrentUnit(pane);
    std::uint64_t bytes = unit ? std::uint64_t{unit->sectorCount} * kSectorBytes : 0;
    pane.unitRead = unit && bytes <= pane.currentBuffer.size() &&
                    ReadSectors(io, ItemRun(*unit), pane.currentBuffer.data());
    if (!pane.unitRead) {
        io.screen.Notify(pane.viewMode == VM_CLUSTER_DUMP ? kClusterNotAccessibleText
                                                          : kSectorNotAccessibleText);
    }
    return pane.unitRead;
}

void ShowClusterDump(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    io.screen.SetStatusText(kProgressPane, kWaitText);
    ResetListPane(io.screen);
    InsertDumpColumns(io.screen, kClusterDumpOffsetWidth);
    pane.currentItem = item;
    if (!LoadChain(io, pane, item)) {
        return;
    }
    pane.unitSectors = item.sectorsPerCluster;
    pane.currentIndex = 0;
    if (!MakeClusterBuffer(io, pane, kNoBufferCapitalText)) {
        return;
    }
    pane.viewMode = VM_CLUSTER_DUMP;
    ReadCurrentUnit(io, pane);
    ShowFirstCluster(io, pane);
}

void ShowDirectoryClusterDump(const PlatformDiskScreen& io, RightPaneState& pane,
                              const TreeItemInfo& item) {
    pane.viewMode = VM_NONE;
    io.screen.SetStatusText(kProgressPane, kWaitText);
    if (!LoadChain(io, pane, item)) {
        return;
    }
    pane.unitSectors = item.sectorsPerCluster;
    if (!MakeClusterBuffer(io, pane, kNoBufferText)) {
        return;
    }
    pane.currentIndex = 0;
    pane.viewMode = VM_CLUSTER_DUMP;
    ReadCurrentUnit(io, pane);
    ResetListPane(io.screen);
    InsertDumpColumns(io.screen, kDumpOffsetWidth);
    ShowFirstCluster(io, pane);
}

}  // namespace brovane

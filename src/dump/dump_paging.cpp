#include "dump/dump_paging.h"

#include "dump/cluster_dump.h"
#include "dump/dump_position.h"
#include "dump/dump_rows.h"
#include "screen/command_table.h"

namespace brovane {

namespace {

enum class Direction { Previous, Next };

void MovePosition(RightPaneState& pane, Direction direction, std::uint32_t lastIndex) {
    if (direction == Direction::Previous) {
        pane.currentIndex -= 1;
        pane.canGoNext = true;
        pane.canGoPrevious = pane.currentIndex != 0;
    } else {
        pane.currentIndex += 1;
        pane.canGoNext = pane.currentIndex < lastIndex;
        pane.canGoPrevious = true;
    }
}

// A cluster that cannot be read is still shown: the rows show what the read left.
void PageCluster(const PlatformDiskScreen& io, RightPaneState& pane, Direction direction) {
    MovePosition(pane, direction, pane.clusterChain.Length() - 1);
    ReadCurrentUnit(io, pane);
    RefreshDumpRows(io.screen, pane.unitSectors);
    io.screen.SetStatusText(kPositionPane,
                            ClusterPositionText(CurrentCluster(pane), UnitStatusSector(pane)));
    io.screen.SetStatusText(kProgressPane, "");
}

// A sector that cannot be read leaves the rows and the position text as
// they were, though the position has moved.
void PageSector(const PlatformDiskScreen& io, RightPaneState& pane, Direction direction) {
    MovePosition(pane, direction, pane.currentItem.sectorCount - 1);
    if (!ReadCurrentUnit(io, pane)) {
        return;
    }
    RefreshDumpRows(io.screen, 1);
    io.screen.SetStatusText(kPositionPane, SectorPositionText(UnitStatusSector(pane)));
    io.screen.SetStatusText(kProgressPane, "");
}

void Page(const PlatformDiskScreen& io, RightPaneState& pane, Direction direction) {
    io.screen.SetStatusText(kProgressPane, "");
    if (io.screen.IsMenuChecked(CMD_RAW_DUMPING)) {
        pane.viewMode = VM_RAW_SECTOR_DUMP;
    }
    switch (pane.viewMode) {
        case VM_CLUSTER_DUMP:
            PageCluster(io, pane, direction);
            break;
        case VM_SECTOR_DUMP:
        case VM_RAW_SECTOR_DUMP:
            PageSector(io, pane, direction);
            break;
        default:
            break;
    }
}

}  // namespace

void GoToPreviousUnit(const PlatformDiskScreen& io, RightPaneState& pane) {
    if (pane.canGoPrevious) {
        Page(io, pane, Direction::Previous);
    }
}

void GoToNextUnit(const PlatformDiskScreen& io, RightPaneState& pane) {
    if (pane.canGoNext) {
        Page(io, pane, Direction::Next);
    }
}

}  // namespace brovane

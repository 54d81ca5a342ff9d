#include "tree/selection_dispatch.h"

#include "app/command_table.h"
#include "app/session.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"

namespace brovane {

namespace {

// Each selection starts the pane's state afresh, so nothing acts on a mode
// or position left from the item before, even when a later step fails.
void ResetPaneState(Session& session, const TreeItemInfo& item) {
    RightPaneState& pane = session.pane;
    pane.currentIndex = 0;
    pane.currentItem = item;
    pane.canGoPrevious = false;
    pane.canGoNext = false;
    pane.viewMode = VM_NONE;
}

void ShowStructure(Session& session, const TreeItemInfo& item) {
    switch (item.kind) {
        case IK_HARD_DISK:
        case IK_EXTENDED:
            ShowPartitionTable(session, item);
            break;
        case IK_VOLUME:
        case IK_UNKNOWN:
            ShowBootRecord(session, item);
            break;
        default:
            break;
    }
}

}  // namespace

DumpingMode CurrentDumpingMode(Session& session) {
    if (session.screen.IsMenuChecked(CMD_RAW_DUMPING)) {
        return DumpingMode::RawSector;
    }
    return session.screen.IsMenuChecked(CMD_SECTOR_DUMPING) ? DumpingMode::SectorCluster
                                                            : DumpingMode::Structure;
}

void DispatchSelection(Session& session, const TreeItemInfo* info) {
    if (session.ignoreSelectionChange || info == nullptr) {
        return;
    }
    const TreeItemInfo item = *info;
    session.screen.SetStatusText(kProgressPane, "");
    ResetPaneState(session, item);
    if (item.sectorCount != 0 &&
        !ReplaceCurrentBuffer(session.platform, session.pane, item.sectorCount)) {
        // No row may be drawn from the released buffer; the progress text stays.
        ClearListPane(session.screen);
        session.screen.Notify("Fatal Error!  Not able to allocate a buffer of memory!");
        return;
    }
    if (CurrentDumpingMode(session) == DumpingMode::Structure) {
        ShowStructure(session, item);
    }
    session.screen.SetStatusText(kProgressPane, "");
}

}  // namespace brovane

#include "app/session.h"

#include "tree/partition_walk.h"
#include "tree/selection_dispatch.h"

namespace brovane {

Session::Session(Platform& platformRef, ScreenOperations& screenRef)
    : platform(platformRef), screen(screenRef), items(platformRef) {}

CommandState Session::CurrentCommandState() {
    CommandState state;
    state.diskAccessReady = disk.diskAccessReady;
    state.canGoPrevious = pane.canGoPrevious;
    state.canGoNext = pane.canGoNext;
    state.sectorDumpingChecked = screen.IsMenuChecked(CMD_SECTOR_DUMPING);
    state.rawDumpingChecked = screen.IsMenuChecked(CMD_RAW_DUMPING);
    return state;
}

// Items inserted with a text callback are directory entries, whose name is
// stored with their record.
std::string_view Session::GetTreeItemText(const TreeItemInfo* info) {
    return info == nullptr || info->nameText == nullptr ? std::string_view{} : info->nameText;
}

void Session::OnTreeSelectionChanged(TreeItemInfo* info) {
    DispatchSelection(*this, info);
}

bool Session::OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo* info, bool expandedOnce) {
    return ExpandItem(*this, item, info, expandedOnce);
}

void Session::OnTreeRightClick() {}

std::string_view Session::GetCellText(int, std::uintptr_t) {
    return {};
}

void Session::OnListDoubleClick() {}

void Session::OnListRightClick() {}

void Session::OnCommand(int) {}

}  // namespace brovane

#include "app/command_state.h"

#include "app/copy_out_command.h"
#include "app/damage_command.h"
#include "app/fat_copies_command.h"
#include "imaging/copy_extent.h"

namespace brovane {

CommandState BuildCommandState(const DiskAccess& disk, const RightPaneState& pane,
                               ScreenOperations& screen, const WindowState& window) {
    CommandState state;
    state.diskAccessReady = disk.diskAccessReady;
    state.canGoPrevious = pane.canGoPrevious;
    state.canGoNext = pane.canGoNext;
    const TreeItemHandle caret = screen.GetCaretItem();
    if (const TreeItemInfo* item = caret == kNoTreeItem ? nullptr : screen.GetTreeItemInfo(caret)) {
        state.itemSelected = true;
        state.selectedCopyable = IsCopyableItem(*item);
        state.selectedVolume = IsReportableItem(*item);
        state.selectedCopyOut = IsCopyOutItem(*item);
        state.selectedFatCopies = IsFatCopiesItem(*item);
    }
    state.sectorDumpingChecked = screen.IsMenuChecked(CMD_SECTOR_DUMPING);
    state.rawDumpingChecked = screen.IsMenuChecked(CMD_RAW_DUMPING);
    state.toolbarVisible = window.toolbarVisible;
    state.statusBarVisible = window.statusBarVisible;
    state.listStyle = window.listStyle;
    return state;
}

}  // namespace brovane

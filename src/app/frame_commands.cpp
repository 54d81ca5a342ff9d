#include "app/frame_commands.h"

#include <vector>

#include "app/selection_guard.h"
#include "platform/disk_units.h"
#include "screen/command_table.h"
#include "screen/texts.h"
#include "tree/drive_inventory.h"

namespace brovane {

void RefreshDisks(Session& session) {
    {
        SelectionChangeGuard guard(session.ignoreSelectionChange);
        session.popupItem = nullptr;
        session.screen.DeleteAllTreeItems();
        EnumerateDisks(session.Io(), session.items);
    }
    session.screen.SelectTreeItem(session.disk.lastHardDiskItem);
}

void SetDumpingMode(ScreenOperations& screen, bool& ignoreSelectionChange, int command) {
    screen.SetMenuChecked(command, !screen.IsMenuChecked(command));
    TreeItemHandle item = screen.GetCaretItem();
    {
        SelectionChangeGuard guard(ignoreSelectionChange);
        screen.SelectTreeItem(kNoTreeItem);
    }
    if (item != kNoTreeItem) {
        screen.SelectTreeItem(item);
    }
}

TreeItemInfo* ShowTreeContextMenu(ScreenOperations& screen) {
    TreeItemHandle item = screen.HitTestTreeAtCursor();
    TreeItemInfo* info = item == kNoTreeItem ? nullptr : screen.GetTreeItemInfo(item);
    if (info == nullptr) {
        return nullptr;
    }
    std::vector<PopupEntry> entries;
    if (info->driveNumber < kFirstHardDisk) {
        entries.push_back({CMD_DISK_COPY, "Disk Copy"});
    }
    if (info->relativeSector != 0) {
        entries.push_back({CMD_RAW_SEARCH, "Raw Search"});
    }
    screen.ShowPopupMenu(entries);
    return info;
}

void ShowUsage(ScreenOperations& screen, const std::string& programDirectory) {
    screen.ShowDocument(programDirectory + std::string(kUsageDocument));
}

}  // namespace brovane

#include "app/session.h"

#include "app/copy_out_command.h"
#include "app/damage_command.h"
#include "app/disk_copy_command.h"
#include "app/fat_copies_command.h"
#include "app/frame_commands.h"
#include "app/goto_sector_command.h"
#include "app/selection_dispatch.h"
#include "dump/byte_edit.h"
#include "dump/dump_clipboard.h"
#include "dump/dump_paging.h"
#include "dump/write_changes.h"
#include "present/cell_text.h"
#include "tree/partition_walk.h"

namespace brovane {

Session::Session(Platform& platformRef, ScreenOperations& screenRef)
    : platform(platformRef), screen(screenRef), items(platformRef) {}

// Items inserted with a text callback are directory entries, whose name is
// stored with their record.
std::string_view Session::GetTreeItemText(const TreeItemInfo* info) {
    return info == nullptr || info->nameText == nullptr ? std::string_view{} : info->nameText;
}

void Session::OnTreeSelectionChanged(TreeItemInfo* info) {
    if (!ignoreSelectionChange) {
        DispatchSelection(Io(), pane, info);
    }
}

bool Session::OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo* info, bool expandedOnce) {
    return ExpandItem(Io(), items, walk, item, info, expandedOnce);
}

void Session::OnTreeRightClick() {
    popupItem = ShowTreeContextMenu(screen);
}

TreeItemInfo* Session::SelectedItem() {
    const TreeItemHandle caret = screen.GetCaretItem();
    return caret == kNoTreeItem ? nullptr : screen.GetTreeItemInfo(caret);
}

std::string_view Session::GetCellText(int column, std::uintptr_t itemData) {
    return CellText(pane, column, itemData, cellText_);
}

void Session::OnListDoubleClick() {
    EditFocusedRow(screen, pane);
}

void Session::OnListRightClick() {
    const bool listing = pane.viewMode == VM_ROOT_DIR || pane.viewMode == VM_SUBDIRECTORY;
    ShowDumpContextMenu(screen, listing);
}

void Session::OnCommand(int command) {
    switch (command) {
        case CMD_PREVIOUS:
            GoToPreviousUnit(Io(), pane);
            break;
        case CMD_NEXT:
            GoToNextUnit(Io(), pane);
            break;
        case CMD_REFRESH_DISKS:
            RefreshDisks(*this);
            break;
        case CMD_SECTOR_DUMPING:
        case CMD_RAW_DUMPING:
            SetDumpingMode(screen, ignoreSelectionChange, command);
            break;
        case CMD_USAGE:
            ShowUsage(screen, disk.programDirectory);
            break;
        case CMD_WRITE_CHANGES:
            WriteChanges(Io(), pane);
            break;
        case CMD_DISK_COPY:
            ChooseCopyToImage(Io(), popupItem);
            break;
        case CMD_GOTO_SECTOR:
            ChooseGoToSector(Io(), pane, SelectedItem());
            break;
        case CMD_FIND:
            ChooseFind(Io(), pane, find, SelectedItem());
            break;
        case CMD_FIND_NEXT:
            ChooseFindNext(Io(), pane, find, SelectedItem());
            break;
        case CMD_RAW_SEARCH:
            ChooseFind(Io(), pane, find, popupItem);
            break;
        case CMD_COPY_OUT:
            ChooseCopyOut(Io(), SelectedItem());
            break;
        case CMD_COPY_OUT_ROW:
            ChooseCopyOutRow(Io(), pane);
            break;
        case CMD_COPY_TO_IMAGE:
            ChooseCopyToImage(Io(), SelectedItem());
            break;
        case CMD_DAMAGE_REPORT:
            ChooseDamageReport(Io(), pane, SelectedItem());
            break;
        case CMD_COMPARE_FATS:
            CompareFatCopiesOf(Io(), pane, SelectedItem());
            break;
        case CMD_COPY:
            CopySelectedRows(screen, pane);
            break;
        case CMD_PASTE:
            PasteAtFocusedRow(screen, pane);
            break;
        default:
            break;
    }
}

}  // namespace brovane

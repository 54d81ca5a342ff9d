// One running instance of the program: the platform and screen it talks to
// and the state the disk logic keeps. The front-end creates it and hands it
// to the core; it answers the panes' notifications.
#pragma once

#include "app/command_table.h"
#include "app/screen_operations.h"
#include "disk/disk_access.h"
#include "dump/right_pane_state.h"
#include "platform/platform.h"
#include "tree/item_storage.h"
#include "tree/partition_walk.h"

namespace brovane {

class Session : public ScreenEvents {
  public:
    Session(Platform& platform, ScreenOperations& screen);

    Platform& platform;
    ScreenOperations& screen;
    ItemStorage items;
    DiskAccess disk;
    RightPaneState pane;
    TreeWalkState walk;
    // Set while a command changes the tree's selection itself.
    bool ignoreSelectionChange = false;

    // The core's part of what enables and checks the commands; the
    // front-end adds the window's own state.
    CommandState CurrentCommandState();

    void OnTreeSelectionChanged(TreeItemInfo* info) override;
    bool OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo* info, bool expandedOnce) override;
    std::string_view GetTreeItemText(const TreeItemInfo* info) override;
    void OnTreeRightClick() override;
    std::string_view GetCellText(int column, std::uintptr_t itemData) override;
    void OnListDoubleClick() override;
    void OnListRightClick() override;
    void OnCommand(int command) override;
};

}  // namespace brovane

// One running instance of the program: the platform and screen it talks to
// and the state the disk logic keeps, one of each layer's. The front-end
// creates it and hands it the panes' notifications; the session passes each
// function below only the state that function uses.
#pragma once

#include <string>

#include "app/find_command.h"
#include "disk/disk_access.h"
#include "disk/platform_disk_screen.h"
#include "platform/platform.h"
#include "present/right_pane_state.h"
#include "screen/command_table.h"
#include "screen/screen_operations.h"
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
    FindState find;
    // The item the tree's pop-up menu was last shown for, until a refresh.
    TreeItemInfo* popupItem = nullptr;
    // Set while a command changes the tree's selection itself.
    bool ignoreSelectionChange = false;

    PlatformDiskScreen Io() { return PlatformDiskScreen{platform, disk, screen}; }

    void OnTreeSelectionChanged(TreeItemInfo* info) override;
    bool OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo* info, bool expandedOnce) override;
    std::string_view GetTreeItemText(const TreeItemInfo* info) override;
    void OnTreeRightClick() override;
    std::string_view GetCellText(int column, std::uintptr_t itemData) override;
    void OnListDoubleClick() override;
    void OnListRightClick() override;
    void OnCommand(int command) override;
    // The tree's caret item, or nullptr.
    TreeItemInfo* SelectedItem();

  private:
    // Behind the view GetCellText answers, valid until the next call.
    std::string cellText_;
};

}  // namespace brovane

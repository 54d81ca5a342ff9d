// What enables and checks the commands, gathered in one place for both
// front-ends: the core's state, the menu's check marks, and the window's
// own state that each front-end reports.
#pragma once

#include "disk/disk_access.h"
#include "present/right_pane_state.h"
#include "screen/command_table.h"
#include "screen/screen_operations.h"

namespace brovane {

struct WindowState {
    bool toolbarVisible = true;
    bool statusBarVisible = true;
    ListStyle listStyle = ListStyle::Report;
};

CommandState BuildCommandState(const DiskAccess& disk, const RightPaneState& pane,
                               ScreenOperations& screen, const WindowState& window);

}  // namespace brovane

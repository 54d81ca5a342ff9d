// The menus, accelerators, toolbar and command table of the main window, as
// plain data that both front-ends read, so that the GUI's menus and
// brovane-batch's `menu` agree by construction.
#pragma once

#include <span>
#include <string_view>

#include "screen/texts.h"

namespace brovane {

enum CommandId : int {
    CMD_PREVIOUS = 32772,
    CMD_NEXT = 32773,
    CMD_REFRESH_DISKS = 32774,
    CMD_SECTOR_DUMPING = 32775,
    CMD_WRITE_CHANGES = 32778,
    CMD_RAW_DUMPING = 32780,
    CMD_GOTO_SECTOR = 32781,
    CMD_USAGE = 32782,
    CMD_DISK_COPY = 32783,
    CMD_RAW_SEARCH = 32784,
    CMD_SAFE_PASTE = 32798,
    CMD_PASTE = 32799,
    CMD_COPY = 32800,
    CMD_DELETE = 32801,
    CMD_SAFE_DELETE = 32803,
    CMD_DOOMED_DELETE = 32804,
    CMD_COPY_TO_IMAGE = 32810,
    CMD_DAMAGE_REPORT = 32811,
    CMD_FIND = 32812,
    CMD_FIND_NEXT = 32813,
    CMD_COMPARE_FATS = 32814,
    CMD_COPY_OUT = 32815,
    CMD_COPY_OUT_ROW = 32816,  // the listing pop-up's entry: the focused row
    CMD_EDIT_CUT = 57635,
    CMD_EDIT_UNDO = 57643,
    CMD_APP_ABOUT = 57664,
    CMD_APP_EXIT = 57665,
    CMD_NEXT_PANE = 57680,
    CMD_PREV_PANE = 57681,
    CMD_VIEW_TOOLBAR = 59392,
    CMD_VIEW_STATUS_BAR = 59393,
    CMD_VIEW_SMALLICON = 59408,
    CMD_VIEW_LARGEICON = 59409,
    CMD_VIEW_LIST = 59410,
    CMD_VIEW_DETAILS = 59411,
    CMD_VIEW_LINEUP = 59412,
    CMD_VIEW_BYNAME = 59413,
};

// When a command can be chosen.
enum class EnableRule {
    Always,
    Never,            // no handler: greyed
    DiskAccessReady,  // disk access was set up
    PreviousUnit,     // a previous sector or cluster exists
    NextUnit,         // a next sector or cluster exists
    CopyableItem,     // the selected item is a disk, a floppy or a partition
    VolumeItem,       // the selected item is a floppy or a partition volume
    SelectedItem,     // an item is selected
    CopyOutItem,      // the selected item is a volume, a root directory, a file or a directory
    FatCopiesItem,    // the selected item is a volume or one of its FATs
};

// View styles of the list pane, as the style commands name them.
enum class ListStyle { SmallIcon, LargeIcon, List, Report };

struct CommandInfo {
    int id;
    std::string_view name;    // brovane-batch's name; empty where it has none
    std::string_view prompt;  // fly-by prompt, "\n", tool tip; empty where it has none
    EnableRule rule;
};

// A main-menu item; command 0 is a separator.
struct MenuItem {
    std::string_view menu;
    std::string_view text;
    int command;
};

struct Accelerator {
    std::string_view key;  // "F4", "Ctrl+F4", "Shift+F6"
    int command;
};

// What the enabling and check marks depend on, gathered by the front-end.
struct CommandState {
    bool diskAccessReady = false;
    bool canGoPrevious = false;
    bool canGoNext = false;
    bool itemSelected = false;
    bool selectedCopyable = false;
    bool selectedVolume = false;
    bool selectedCopyOut = false;
    bool selectedFatCopies = false;
    bool sectorDumpingChecked = false;
    bool rawDumpingChecked = false;
    bool toolbarVisible = true;
    bool statusBarVisible = true;
    ListStyle listStyle = ListStyle::Report;
};

std::span<const CommandInfo> Commands();
std::span<const MenuItem> MainMenu();
std::span<const Accelerator> Accelerators();
// Toolbar buttons in order; 0 is a separator.
std::span<const int> ToolbarButtons();

// nullptr when unknown.
const CommandInfo* FindCommand(int id);
// By batch name or by number written in decimal.
const CommandInfo* FindCommandByName(std::string_view name);
// The command an accelerator key runs, or 0.
int FindAccelerator(std::string_view key);

bool IsCommandEnabled(int id, const CommandState& state);
bool IsCommandChecked(int id, const CommandState& state);

// A prompt's tool tip: the part after its "\n".
std::string_view ToolTip(const CommandInfo& info);

}  // namespace brovane

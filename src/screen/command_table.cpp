#include "screen/command_table.h"

#include <array>
#include <charconv>

namespace brovane {

namespace {

using enum EnableRule;

constexpr std::array kCommands{
    CommandInfo{CMD_PREVIOUS, "previous",
                "This takes you to the previous Sector or Cluster\nPrevious Sector/Cluster",
                PreviousUnit},
    CommandInfo{CMD_NEXT, "next",
                "This takes you to the next Sector or Cluster\nNext Sector/Cluster", NextUnit},
    CommandInfo{CMD_REFRESH_DISKS, "refresh",
                "Refreshes the disk items in the tree view by resetting all of them\nRefresh",
                DiskAccessReady},
    CommandInfo{CMD_SECTOR_DUMPING, "sector-dumping",
                "Dumps the tree items as sectors rather than as their own types\nSector Dumping",
                DiskAccessReady},
    CommandInfo{CMD_WRITE_CHANGES, "write",
                "Write the changes made to the sector to the disk\nWrite", DiskAccessReady},
    CommandInfo{CMD_RAW_DUMPING, "raw-dumping",
                "Dumps sectors in Hexadecimal no matter what the item is.  The logical disk can be "
                "viewed fully using this method.\nRaw Sector Dump",
                DiskAccessReady},
    CommandInfo{CMD_GOTO_SECTOR, "goto-sector",
                "Shows a sector of the selected item, counted from its first sector, as a raw "
                "sector dump\nGo to a Sector",
                SelectedItem},
    CommandInfo{CMD_FIND, "find", "Searches the selected item's sectors for bytes or text\nFind",
                SelectedItem},
    CommandInfo{CMD_FIND_NEXT, "find-next",
                "Finds the next place that holds what was last searched for\nFind Next",
                SelectedItem},
    CommandInfo{CMD_COPY_OUT, "copy-out",
                "Copies the selected file, directory or volume's files into a folder of this "
                "computer\nCopy Out",
                CopyOutItem},
    CommandInfo{CMD_COPY_TO_IMAGE, "copy-image",
                "Copies the selected disk, partition or volume to an image file with a mapfile of "
                "what could not be read\nCopy to Image",
                CopyableItem},
    CommandInfo{CMD_DAMAGE_REPORT, "damage-report",
                "Lists the files and directories of a volume that lie on sectors its copy could "
                "not read\nDamage Report",
                VolumeItem},
    CommandInfo{CMD_COMPARE_FATS, "compare-fats",
                "Lists the entries in which the FAT copies of the selected volume differ\nCompare "
                "FATs",
                FatCopiesItem},
    CommandInfo{CMD_USAGE, "usage", "It details on the features available in this utility\nUsage",
                Always},
    CommandInfo{CMD_EDIT_CUT, "", "Cut the selection and put it on the Clipboard\nCut", Never},
    CommandInfo{CMD_EDIT_UNDO, "", "Undo the last action\nUndo", Never},
    CommandInfo{CMD_APP_ABOUT, "about",
                "Display program information, version number and copyright\nAbout", Always},
    CommandInfo{CMD_APP_EXIT, "", "Quit the application; prompts to save documents\nExit", Always},
    CommandInfo{CMD_NEXT_PANE, "", "Switch to the next window pane\nNext Pane", Always},
    CommandInfo{CMD_PREV_PANE, "", "Switch back to the previous window pane\nPrevious Pane",
                Always},
    CommandInfo{CMD_VIEW_TOOLBAR, "toolbar", "Show or hide the toolbar\nToggle ToolBar", Always},
    CommandInfo{CMD_VIEW_STATUS_BAR, "status-bar", "Show or hide the status bar\nToggle StatusBar",
                Always},
    CommandInfo{CMD_VIEW_DETAILS, "details",
                "Displays detailed information about each item in the window.\nDetails", Always},
};

constexpr std::array kMainMenu{
    MenuItem{"&File", "E&xit", CMD_APP_EXIT},
    MenuItem{"&View", "&Toolbar", CMD_VIEW_TOOLBAR},
    MenuItem{"&View", "&Status Bar", CMD_VIEW_STATUS_BAR},
    MenuItem{"&Action", "R&efresh Disks\tF5", CMD_REFRESH_DISKS},
    MenuItem{"&Action", "&Go to a Sector\tCtrl+G", CMD_GOTO_SECTOR},
    MenuItem{"&Action", "Find...\tCtrl+F", CMD_FIND},
    MenuItem{"&Action", "Find Next\tF3", CMD_FIND_NEXT},
    MenuItem{"&Action", "", 0},
    MenuItem{"&Action", "&Copy to Image...\tCtrl+I", CMD_COPY_TO_IMAGE},
    MenuItem{"&Action", "Damage &Report...", CMD_DAMAGE_REPORT},
    MenuItem{"&Action", "Copy Out...\tCtrl+O", CMD_COPY_OUT},
    MenuItem{"&Action", "Compare &FATs", CMD_COMPARE_FATS},
    MenuItem{"&Action", "", 0},
    MenuItem{"&Action", "&Sector/Cluster Dumping\tCtrl+F4", CMD_SECTOR_DUMPING},
    MenuItem{"&Action", "Raw Sector &Dumping\tF4", CMD_RAW_DUMPING},
    MenuItem{"&Changes", "&Write Changes", CMD_WRITE_CHANGES},
    MenuItem{"&Help", "&Usage\tF1", CMD_USAGE},
    MenuItem{"&Help", "", 0},
    MenuItem{"&Help", "&About Brovane...", CMD_APP_ABOUT},
};

constexpr std::array kAccelerators{
    Accelerator{"F1", CMD_USAGE},           Accelerator{"F3", CMD_FIND_NEXT},
    Accelerator{"F4", CMD_RAW_DUMPING},     Accelerator{"Ctrl+F4", CMD_SECTOR_DUMPING},
    Accelerator{"F5", CMD_REFRESH_DISKS},   Accelerator{"F6", CMD_NEXT_PANE},
    Accelerator{"Shift+F6", CMD_PREV_PANE}, Accelerator{"Ctrl+F", CMD_FIND},
    Accelerator{"Ctrl+G", CMD_GOTO_SECTOR}, Accelerator{"Ctrl+I", CMD_COPY_TO_IMAGE},
    Accelerator{"Ctrl+O", CMD_COPY_OUT},    Accelerator{"Ctrl+X", CMD_EDIT_CUT},
    Accelerator{"Ctrl+Z", CMD_EDIT_UNDO},
};

constexpr std::array<int, 6> kToolbar{CMD_VIEW_DETAILS, 0, CMD_PREVIOUS,
                                      CMD_NEXT,         0, CMD_APP_ABOUT};

}  // namespace

std::span<const CommandInfo> Commands() {
    return kCommands;
}
std::span<const MenuItem> MainMenu() {
    return kMainMenu;
}
std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}
std::span<const int> ToolbarButtons() {
    return kToolbar;
}

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& info : kCommands) {
        if (info.id == id) {
            return &info;
        }
    }
    return nullptr;
}

const CommandInfo* FindCommandByName(std::string_view name) {
    int id = 0;
    auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
    if (error == std::errc{} && end == name.data() + name.size()) {
        return FindCommand(id);
    }
    for (const CommandInfo& info : kCommands) {
        if (!info.name.empty() && info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

int FindAccelerator(std::string_view key) {
    for (const Accelerator& accelerator : kAccelerators) {
        if (accelerator.key == key) {
            return accelerator.command;
        }
    }
    return 0;
}

bool IsCommandEnabled(int id, const CommandState& state) {
    const CommandInfo* info = FindCommand(id);
    if (info == nullptr) {
        return false;
    }
    switch (info->rule) {
        case Always:
            return true;
        case Never:
            return false;
        case DiskAccessReady:
            return state.diskAccessReady;
        case PreviousUnit:
            return state.canGoPrevious;
        case NextUnit:
            return state.canGoNext;
        case CopyableItem:
            return state.diskAccessReady && state.selectedCopyable;
        case VolumeItem:
            return state.diskAccessReady && state.selectedVolume;
        case SelectedItem:
            return state.diskAccessReady && state.itemSelected;
        case CopyOutItem:
            return state.diskAccessReady && state.selectedCopyOut;
        case FatCopiesItem:
            return state.diskAccessReady && state.selectedFatCopies;
    }
    return false;
}

bool IsCommandChecked(int id, const CommandState& state) {
    switch (id) {
        case CMD_SECTOR_DUMPING:
            return state.sectorDumpingChecked;
        case CMD_RAW_DUMPING:
            return state.rawDumpingChecked;
        case CMD_VIEW_TOOLBAR:
            return state.toolbarVisible;
        case CMD_VIEW_STATUS_BAR:
            return state.statusBarVisible;
        case CMD_VIEW_DETAILS:
            return state.listStyle == ListStyle::Report;
        default:
            return false;
    }
}

std::string_view ToolTip(const CommandInfo& info) {
    std::size_t cut = info.prompt.find('\n');
    return cut == std::string_view::npos ? std::string_view{} : info.prompt.substr(cut + 1);
}

}  // namespace brovane

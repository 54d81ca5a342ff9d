#include "screen/command_table.h"

#include <gtest/gtest.h>

#include <set>

namespace brovane {
namespace {

// The menu, toolbar and accelerators are checked against the table where
// the GUI's tests find their commands enabled; an id listed twice would
// shadow its second entry.
TEST(CommandTable, EachCommandIsListedOnce) {
    std::set<int> ids;
    for (const CommandInfo& info : Commands()) {
        EXPECT_TRUE(ids.insert(info.id).second) << "twice: " << info.id;
    }
}

TEST(CommandTable, DiskCommandsFollowDiskAccessAndPagingFollowsItsFlags) {
    CommandState notReady;
    for (int id : {CMD_REFRESH_DISKS, CMD_SECTOR_DUMPING, CMD_RAW_DUMPING, CMD_WRITE_CHANGES,
                   CMD_PREVIOUS, CMD_NEXT, CMD_GOTO_SECTOR, CMD_EDIT_CUT, CMD_EDIT_UNDO}) {
        EXPECT_FALSE(IsCommandEnabled(id, notReady)) << id;
    }
    for (int id : {CMD_USAGE, CMD_APP_ABOUT, CMD_APP_EXIT, CMD_VIEW_TOOLBAR, CMD_VIEW_STATUS_BAR,
                   CMD_NEXT_PANE, CMD_PREV_PANE, CMD_VIEW_DETAILS}) {
        EXPECT_TRUE(IsCommandEnabled(id, notReady)) << id;
    }
    CommandState ready;
    ready.diskAccessReady = true;
    ready.canGoNext = true;
    EXPECT_TRUE(IsCommandEnabled(CMD_WRITE_CHANGES, ready));
    EXPECT_TRUE(IsCommandEnabled(CMD_NEXT, ready));
    EXPECT_FALSE(IsCommandEnabled(CMD_PREVIOUS, ready));
    EXPECT_FALSE(IsCommandEnabled(CMD_GOTO_SECTOR, ready));
    EXPECT_FALSE(IsCommandEnabled(12345, ready));
}

TEST(CommandTable, ChecksComeFromMarksVisibilityAndListStyle) {
    CommandState state;
    state.rawDumpingChecked = true;
    state.toolbarVisible = false;
    state.listStyle = ListStyle::List;
    EXPECT_TRUE(IsCommandChecked(CMD_RAW_DUMPING, state));
    EXPECT_FALSE(IsCommandChecked(CMD_SECTOR_DUMPING, state));
    EXPECT_FALSE(IsCommandChecked(CMD_VIEW_TOOLBAR, state));
    EXPECT_TRUE(IsCommandChecked(CMD_VIEW_STATUS_BAR, state));
    EXPECT_FALSE(IsCommandChecked(CMD_VIEW_DETAILS, state));
    state.listStyle = ListStyle::Report;
    EXPECT_TRUE(IsCommandChecked(CMD_VIEW_DETAILS, state));
}

TEST(CommandTable, LookupsByNameNumberAndKey) {
    ASSERT_NE(FindCommandByName("sector-dumping"), nullptr);
    EXPECT_EQ(FindCommandByName("sector-dumping")->id, CMD_SECTOR_DUMPING);
    EXPECT_EQ(FindCommandByName("32775")->id, CMD_SECTOR_DUMPING);
    EXPECT_EQ(FindCommandByName("status-bar")->id, CMD_VIEW_STATUS_BAR);
    EXPECT_EQ(FindCommandByName("3277x"), nullptr);
    EXPECT_EQ(FindCommandByName(""), nullptr);
    EXPECT_EQ(FindAccelerator("F4"), CMD_RAW_DUMPING);
    EXPECT_EQ(FindAccelerator("Ctrl+F4"), CMD_SECTOR_DUMPING);
    EXPECT_EQ(FindAccelerator("Shift+F6"), CMD_PREV_PANE);
    EXPECT_EQ(FindAccelerator("Ctrl+G"), 0);
}

TEST(CommandTable, PromptsSplitIntoFlyByAndToolTip) {
    const CommandInfo* next = FindCommand(CMD_NEXT);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(FlyByPrompt(*next), "This takes you to the next Sector or Cluster");
    EXPECT_EQ(ToolTip(*next), "Next Sector/Cluster");
    const CommandInfo* gotoSector = FindCommand(CMD_GOTO_SECTOR);
    EXPECT_EQ(ToolTip(*gotoSector), "");
}

}  // namespace
}  // namespace brovane

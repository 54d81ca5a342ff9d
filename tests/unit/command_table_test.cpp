#include "screen/command_table.h"

#include <gtest/gtest.h>

#include <set>

namespace brovane {
namespace {

// Enabling as the menus, toolbar and accelerators show it, with and
// without disk access, is the GUI's tests' and the batch runner's; here what
// they do not reach. An id listed twice would shadow its second entry.
TEST(CommandTable, EachCommandIsListedOnce) {
    std::set<int> ids;
    for (const CommandInfo& info : Commands()) {
        EXPECT_TRUE(ids.insert(info.id).second) << "twice: " << info.id;
    }
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
    EXPECT_TRUE(IsCommandEnabled(CMD_VIEW_DETAILS, state));  // without disk access
    EXPECT_FALSE(IsCommandEnabled(12345, state));
}

TEST(CommandTable, LookupsByNameNumberAndKey) {
    ASSERT_NE(FindCommandByName("32775"), nullptr);
    EXPECT_EQ(FindCommandByName("32775")->id, CMD_SECTOR_DUMPING);
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

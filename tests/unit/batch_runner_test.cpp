#include "batch/batch_runner.h"

#include <gtest/gtest.h>

#include <sstream>

#include "session_harness.h"

namespace brovane {
namespace {

class BatchRunnerTest : public ::testing::Test, public SessionHarness {
  protected:
    BatchRunnerTest() : runner(screen, session, out) {}

    // Runs a script; answers what it printed.
    std::string Run(const std::string& script, int expectedCode = 0) {
        std::istringstream in(script);
        std::ostringstream err;
        out.str("");
        EXPECT_EQ(runner.RunScript(in, err), expectedCode) << err.str();
        errors = err.str();
        return out.str();
    }

    // A small tree: a disk with a partition holding a callback-named entry.
    void BuildTree() {
        disk = screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 1", true, &records[0]);
        volume = screen.InsertTreeItem(disk, kInsertLast, "16-Bit FAT Disk", true, &records[1]);
        screen.InsertTreeItem(disk, kInsertLast, "Unknown", false, &records[2]);
        records[3].nameText = "Long name\twith tab";
        entry = screen.InsertCallbackTreeItem(volume, kInsertLast, false, &records[3]);
        screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 2", true, &records[4]);
    }

    std::ostringstream out;
    std::string errors;
    BatchRunner runner;
    TreeItemInfo records[5]{};
    TreeItemHandle disk = kNoTreeItem, volume = kNoTreeItem, entry = kNoTreeItem;
};

TEST_F(BatchRunnerTest, TreePrintsVisibleItemsWithTheirButtons) {
    BuildTree();
    EXPECT_EQ(Run("tree\n"), "+ Hard Disk 1\n+ Hard Disk 2\n");
    screen.Expand(disk);
    screen.Expand(volume);
    EXPECT_EQ(Run("tree\n"),
              "- Hard Disk 1\n"
              "  - 16-Bit FAT Disk\n"
              "    . Long name\\x09with tab\n"
              "  . Unknown\n"
              "+ Hard Disk 2\n");
    screen.Collapse(disk);
    EXPECT_EQ(Run("tree\n"), "+ Hard Disk 1\n+ Hard Disk 2\n");
}

TEST_F(BatchRunnerTest, PathsNameItemsByTextOrByNumber) {
    BuildTree();
    EXPECT_EQ(runner.FindItem("Hard Disk 1/16-Bit FAT Disk"), volume);
    EXPECT_EQ(runner.FindItem("#1/#1/#1"), entry);
    EXPECT_EQ(runner.FindItem("Hard Disk 1/#1/Long name\twith tab"), entry);
    EXPECT_EQ(runner.FindItem("#2"), screen.Children(kTreeRoot)[1]);
    EXPECT_EQ(runner.FindItem("#3"), kNoTreeItem);
    EXPECT_EQ(runner.FindItem("#0"), kNoTreeItem);
    EXPECT_EQ(runner.FindItem("Hard Disk 1/Missing"), kNoTreeItem);
    EXPECT_EQ(runner.PathOf(entry), "Hard Disk 1/16-Bit FAT Disk/Long name\twith tab");
}

TEST_F(BatchRunnerTest, SelectedPrintsThePathOrADash) {
    BuildTree();
    EXPECT_EQ(Run("selected\n"), "-\n");
    screen.SelectTreeItem(volume);
    EXPECT_EQ(Run("selected\n"), "Hard Disk 1/16-Bit FAT Disk\n");
}

TEST_F(BatchRunnerTest, StatusAndMenuPrintTheirLines) {
    screen.SetStatusText(kProgressPane, "Wait....");
    EXPECT_EQ(Run("status\n"), "0: Wait....\n1: \n");
    session.disk.diskAccessReady = true;
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    screen.toolbarVisible = false;
    std::string menu = Run("menu\n");
    EXPECT_NE(menu.find("\n32775 enabled checked\n"), std::string::npos) << menu;
    EXPECT_NE(menu.find("\n32780 enabled\n"), std::string::npos);
    EXPECT_NE(menu.find("\n32781 disabled\n"), std::string::npos);
    EXPECT_NE(menu.find("\n59392 enabled\n"), std::string::npos);
    EXPECT_NE(menu.find("\n59393 enabled checked\n"), std::string::npos);
    EXPECT_EQ(menu.rfind("32772 disabled\n", 0), 0u);
}

TEST_F(BatchRunnerTest, CommandsRunByNameNumberOrKeyOnlyWhileEnabled) {
    EXPECT_EQ(Run("command about\ncommand 57664\nkey Ctrl+G\n"),
              "dialog: About Brovane\ndialog: About Brovane\n");
    EXPECT_EQ(Run("command goto-sector\nkey F5\nkey Ctrl+X\ncommand refresh\n"),
              "disabled: 32781\ndisabled: 32774\ndisabled: 57635\ndisabled: 32774\n");
    Run("command toolbar\ncommand status-bar\ncommand status-bar\nkey F6\n");
    EXPECT_FALSE(screen.toolbarVisible);
    EXPECT_TRUE(screen.statusBarVisible);
    EXPECT_TRUE(screen.focusOnList);
    Run("key Shift+F6\n");
    EXPECT_FALSE(screen.focusOnList);
    Run("command frobnicate\n", 2);
    EXPECT_EQ(errors, "brovane-batch: line 1: unknown command name 'frobnicate'\n");
    Run("key F12\n", 2);
    EXPECT_EQ(errors, "brovane-batch: line 1: unknown key 'F12'\n");
}

TEST_F(BatchRunnerTest, CommentsAndBlankLinesAreSkippedAndBadLinesStopTheScript) {
    EXPECT_EQ(Run("# a comment\n\n   \nselected\n"), "-\n");
    EXPECT_EQ(Run("selected\nfrobnicate now\nselected\n", 2), "-\n");
    EXPECT_EQ(errors, "brovane-batch: line 2: unknown command 'frobnicate'\n");
    Run("\ntree extra\n", 2);
    EXPECT_EQ(errors, "brovane-batch: line 2: unexpected arguments 'extra'\n");
}

}  // namespace
}  // namespace brovane

// brovane-batch: the runner's commands, paths and errors, and the text
// front-end it drives where the core's tests would not notice a fault.
#include "batch/batch_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/text_screen.h"
#include "tree/tree_item_info.h"
#include "walk_harness.h"

namespace brovane {
namespace {

struct BatchRunnerTest : ::testing::Test, WalkHarness {};

TEST_F(BatchRunnerTest, PathsNameItemsByTextOrByNumberAndSelectedPrintsThem) {
    // A small tree: a disk with a partition holding a callback-named entry.
    TreeItemInfo records[5]{};
    const TreeItemHandle disk =
        screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 1", true, &records[0]);
    const TreeItemHandle volume =
        screen.InsertTreeItem(disk, kInsertLast, "16-Bit FAT Disk", true, &records[1]);
    screen.InsertTreeItem(disk, kInsertLast, "Unknown", false, &records[2]);
    records[3].nameText = "Long name\twith tab";
    const TreeItemHandle entry =
        screen.InsertCallbackTreeItem(volume, kInsertLast, false, &records[3]);
    screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 2", true, &records[4]);
    EXPECT_EQ(runner.FindItem("Hard Disk 1/16-Bit FAT Disk"), volume);
    EXPECT_EQ(runner.FindItem("#1/#1/#1"), entry);
    EXPECT_EQ(runner.FindItem("Hard Disk 1/#1/Long name\twith tab"), entry);
    EXPECT_EQ(runner.FindItem("#2"), screen.Children(kTreeRoot)[1]);
    EXPECT_EQ(runner.FindItem("#3"), kNoTreeItem);
    EXPECT_EQ(runner.FindItem("#0"), kNoTreeItem);
    EXPECT_EQ(runner.FindItem("Hard Disk 1/Missing"), kNoTreeItem);
    EXPECT_EQ(runner.PathOf(entry), "Hard Disk 1/16-Bit FAT Disk/Long name\twith tab");
    // The tree's texts are escaped like every printed text.
    screen.Expand(disk);
    screen.Expand(volume);
    EXPECT_NE(Batch("tree\n").find("\n    . Long name\\x09with tab\n"), std::string::npos);
    EXPECT_EQ(Batch("selected\n"), "-\n");
    screen.SelectTreeItem(volume);
    EXPECT_EQ(Batch("selected\n"), "Hard Disk 1/16-Bit FAT Disk\n");
}

TEST_F(BatchRunnerTest, StatusAndMenuPrintTheirLines) {
    screen.SetStatusText(kProgressPane, "Wait....");
    EXPECT_EQ(Batch("status\n"), "0: Wait....\n1: \n");
    session.disk.diskAccessReady = true;
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    screen.toolbarVisible = false;
    std::string menu = Batch("menu\n");
    for (const char* line : {"\n32775 enabled checked\n", "\n32780 enabled\n", "\n32781 disabled\n",
                             "\n59392 enabled\n", "\n59393 enabled checked\n"}) {
        EXPECT_NE(menu.find(line), std::string::npos) << line << menu;
    }
    EXPECT_EQ(menu.rfind("32772 disabled\n", 0), 0u);
}

TEST_F(BatchRunnerTest, CommandsRunByNameNumberOrKeyOnlyWhileEnabled) {
    EXPECT_EQ(Batch("command about\ncommand 57664\nkey Ctrl+G\n"),
              "dialog: About Brovane\ndialog: About Brovane\ndisabled: 32781\n");
    EXPECT_EQ(Batch("command goto-sector\nkey F5\nkey Ctrl+X\ncommand refresh\n"),
              "disabled: 32781\ndisabled: 32774\ndisabled: 57635\ndisabled: 32774\n");
    Batch("command toolbar\ncommand status-bar\ncommand status-bar\nkey F6\n");
    EXPECT_FALSE(screen.toolbarVisible);
    EXPECT_TRUE(screen.statusBarVisible);
    EXPECT_TRUE(screen.focusOnList);
    Batch("key Shift+F6\n");
    EXPECT_FALSE(screen.focusOnList);
    Batch("command frobnicate\n", 2);
    EXPECT_EQ(errors, "brovane-batch: line 1: unknown command name 'frobnicate'\n");
    Batch("key F12\n", 2);
    EXPECT_EQ(errors, "brovane-batch: line 1: unknown key 'F12'\n");
}

TEST_F(BatchRunnerTest, CommentsAndBlankLinesAreSkippedAndBadLinesStopTheScript) {
    EXPECT_EQ(Batch("# a comment\n\n   \nselected\n"), "-\n");
    EXPECT_EQ(Batch("selected\nfrobnicate now\nselected\n", 2), "-\n");
    EXPECT_EQ(errors, "brovane-batch: line 2: unknown command 'frobnicate'\n");
    Batch("\ntree extra\n", 2);
    EXPECT_EQ(errors, "brovane-batch: line 2: unexpected arguments 'extra'\n");
}

// An unanswered confirmation says no, as brovane-batch prints it.
TEST(TextScreen, ConfirmationsTakeQueuedAnswersAndUnansweredOnesSayNo) {
    std::vector<std::string> printed;
    TextScreen screen([&printed](std::string_view line) { printed.emplace_back(line); });
    screen.QueueAnswer(true);
    EXPECT_TRUE(screen.Confirm("Are you sure to write to disk?"));
    EXPECT_FALSE(screen.Confirm("Are you sure to write to disk?"));
    EXPECT_EQ(printed, (std::vector<std::string>{"confirm: Are you sure to write to disk? -> yes",
                                                 "confirm: Are you sure to write to disk? -> no"}));
}

TEST(EscapeText, KeepsOneLinePerRowWhateverTheBytes) {
    EXPECT_EQ(EscapeText("plain text"), "plain text");
    EXPECT_EQ(EscapeText("a\\b"), "a\\\\b");
    EXPECT_EQ(EscapeText(std::string("\x00\x1F\x7F\x80\xE5 ~", 7)), "\\x00\\x1F\\x7F\\x80\\xE5 ~");
    EXPECT_EQ(EscapeText("line\nbreak\r"), "line\\x0Abreak\\x0D");
}

// clipboard-set reads what clipboard prints, a line a line.
TEST_F(BatchRunnerTest, TheClipboardIsSetAndPrintedInTheEscapedForm) {
    Batch("clipboard-set \\x00a\\\\b\\xe5\\x0A\\x0Alast\n");
    EXPECT_EQ(screen.ClipboardText(), std::string("\0a\\b\xE5\n\nlast", 11));
    EXPECT_EQ(Batch("clipboard\n"), "\\x00a\\\\b\\xE5\n\nlast\n");
    for (const char* bad : {"a\\b", "\\x4", "\\x4g", "\\"}) {
        Batch("clipboard-set " + std::string(bad) + "\n", 2);
        EXPECT_EQ(errors, "brovane-batch: line 1: bad escape in '" + std::string(bad) + "'\n");
    }
    EXPECT_EQ(screen.ClipboardText().size(), 11u);
}

}  // namespace
}  // namespace brovane

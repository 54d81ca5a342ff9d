// The commands that act on the whole window, driven as brovane-batch drives
// them, and the command table behind every front-end's menus.
#include <gtest/gtest.h>

#include <fstream>

#include "platform_factories.h"
#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

constexpr char kFloppy[] = R"(
disk sectors=2880 heads=2 sectors_per_track=18
fat12 start=0 size=2880 sectors_per_cluster=1 root_entries=224 media=0xF0 sectors_per_track=18 heads=2 hidden=0 drive=0x00
)";
constexpr char kHardDisk[] = R"(
disk size=16M
partition type=0x06 start=2048 size=20000
fat16
)";

class FrameCommandsTest : public ::testing::Test, public WalkHarness {
  protected:
    void SetUp() override {
        PlaceDescription(kFloppy, true);
        PlaceDescription(kHardDisk);
        PlaceDescription(kHardDisk);
        Start();
    }
};

// The other mark changes, but raw sectors still win; with nothing selected
// only the mark changes.
TEST_F(FrameCommandsTest, DumpingModesShowTheSelectedItemAgain) {
    std::string shown;
    for (const char* key : {"", "F4", "Ctrl+F4", "F4", "Ctrl+F4"}) {
        Batch(*key ? std::string("key ") + key + "\n" : "select Hard Disk 1\n");
        shown += std::to_string(session.pane.viewMode) + ":" +
                 std::to_string(screen.GetListItemCount()) +
                 (screen.IsMenuChecked(CMD_RAW_DUMPING) ? "r" : "") +
                 (screen.IsMenuChecked(CMD_SECTOR_DUMPING) ? "s " : " ");
    }
    EXPECT_EQ(shown, "0:40 7:32r 7:32rs 7:32s 0:40 ");
    EXPECT_EQ(Batch("selected\nselect -\nkey F4\nselected\n"), "Hard Disk 1\n-\n");
    EXPECT_TRUE(screen.IsMenuChecked(CMD_RAW_DUMPING));
}

TEST_F(FrameCommandsTest, RefreshRebuildsTheTreeAndShowsTheLastHardDisk) {
    Batch("expand Hard Disk 2\nselect Hard Disk 2/#1\nkey F5\n");
    EXPECT_EQ(Batch("tree\nselected\n"),
              "+ Floppy Disk 1\n+ Hard Disk 1\n+ Hard Disk 2\nHard Disk 2\n");
    EXPECT_EQ(session.pane.currentItem.kind, IK_HARD_DISK);
    EXPECT_EQ(screen.GetListItemCount(), 40);
    EXPECT_FALSE(session.ignoreSelectionChange);
}

TEST_F(FrameCommandsTest, TreeMenuOffersDiskCopyForFloppiesAndRawSearchInsideVolumes) {
    Batch("expand Floppy Disk 1\nexpand Hard Disk 1\nexpand Hard Disk 1/#1\n");
    EXPECT_EQ(Batch("rightclick tree Hard Disk 1\n"), "");
    EXPECT_EQ(Batch("rightclick tree Floppy Disk 1\n"), "Disk Copy\n");
    EXPECT_EQ(Batch("rightclick tree Hard Disk 1/#1/FAT 1\n"), "Raw Search\n");
    EXPECT_EQ(Batch("rightclick tree Floppy Disk 1/FAT 2\n"), "Disk Copy\nRaw Search\n");
    // A right click neither selects nor expands.
    EXPECT_EQ(Batch("selected\n"), "-\n");
}

TEST_F(FrameCommandsTest, UsageOpensTheDocumentBesideTheProgram) {
    EXPECT_EQ(Batch("key F1\n"), "");
    EXPECT_EQ(printed, (std::vector<std::string>{"message: Brovane.DOC not found"}));
    test::TempFolder folder;
    std::ofstream(folder.Path() + "/Brovane.DOC") << "usage\n";
    WalkHarness other;
    other.platform.settings.programDirectory = folder.Path() + "/";
    other.Start();
    other.Batch("command usage\n");
    EXPECT_EQ(other.printed,
              (std::vector<std::string>{"document: " + folder.Path() + "/Brovane.DOC"}));
}

// Enabling as the menus, toolbar and accelerators show it, and the prompts,
// are the GUI's tests' and the batch runner's; here the lookups.
TEST(CommandTable, LookupsByNameNumberAndKeyAndChecksFromTheMarks) {
    ASSERT_NE(FindCommandByName("32775"), nullptr);
    EXPECT_EQ(FindCommandByName("32775")->id, CMD_SECTOR_DUMPING);
    EXPECT_EQ(FindCommandByName("32775x"), nullptr);
    EXPECT_EQ(FindCommandByName(""), nullptr);
    EXPECT_EQ(FindAccelerator("Shift+F6"), CMD_PREV_PANE);
    EXPECT_EQ(FindAccelerator("Ctrl+G"), CMD_GOTO_SECTOR);
    EXPECT_EQ(FindAccelerator("Ctrl+Q"), 0);
    CommandState state;
    state.listStyle = ListStyle::List;
    EXPECT_FALSE(IsCommandChecked(CMD_VIEW_DETAILS, state));
    EXPECT_TRUE(IsCommandEnabled(CMD_VIEW_DETAILS, state));  // without disk access
    EXPECT_FALSE(IsCommandEnabled(12345, state));
}

}  // namespace
}  // namespace brovane

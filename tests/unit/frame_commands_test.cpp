// The commands that act on the whole window, driven as brovane-batch drives
// them, and the command table behind every front-end's menus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

class FrameCommandsTest : public ::testing::Test, public WalkHarness {
  protected:
    void SetUp() override {
        imagebuilder::Disk disk;
        disk.sizeBytes = 16 << 20;
        disk.primaries[0] = Primary(0x06, 2048, 20000);
        disk.volumes.push_back(Volume(imagebuilder::FatKind::Fat16, 2048, 20000));
        PlaceBuiltDisk(platform, FloppyDisk(), true);
        PlaceBuiltDisk(platform, disk);
        PlaceBuiltDisk(platform, disk);
        Start();
    }
};

TEST_F(FrameCommandsTest, DumpingModesShowTheSelectedItemAgain) {
    Batch("select Hard Disk 1\n");
    EXPECT_EQ(screen.GetListItemCount(), 40);
    Batch("key F4\n");
    EXPECT_TRUE(screen.IsMenuChecked(CMD_RAW_DUMPING));
    EXPECT_EQ(session.pane.viewMode, VM_SECTOR_DUMP);
    EXPECT_EQ(screen.GetListItemCount(), 32);
    // The other mark changes, but raw sectors still win.
    Batch("key Ctrl+F4\n");
    EXPECT_TRUE(screen.IsMenuChecked(CMD_SECTOR_DUMPING));
    EXPECT_EQ(screen.GetListColumnCount(), 34);
    Batch("key F4\nkey Ctrl+F4\n");
    EXPECT_FALSE(screen.IsMenuChecked(CMD_RAW_DUMPING));
    EXPECT_EQ(screen.GetListItemCount(), 40);
    EXPECT_EQ(Batch("selected\n"), "Hard Disk 1\n");
    // With nothing selected only the mark changes.
    Batch("select -\nkey F4\n");
    EXPECT_TRUE(screen.IsMenuChecked(CMD_RAW_DUMPING));
    EXPECT_EQ(Batch("selected\n"), "-\n");
}

TEST_F(FrameCommandsTest, RefreshRebuildsTheTreeAndShowsTheLastHardDisk) {
    Batch("expand Hard Disk 2\nselect Hard Disk 2/#1\nkey F5\n");
    EXPECT_EQ(Batch("tree\n"), "+ Floppy Disk 1\n+ Hard Disk 1\n+ Hard Disk 2\n");
    EXPECT_EQ(Batch("selected\n"), "Hard Disk 2\n");
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
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("brovane-usage-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Brovane.DOC") << "usage\n";
    WalkHarness other;
    other.platform.settings.programDirectory = folder.string() + "/";
    other.Start();
    other.Batch("command usage\n");
    EXPECT_EQ(other.printed,
              (std::vector<std::string>{"document: " + folder.string() + "/Brovane.DOC"}));
    std::filesystem::remove_all(folder);
}

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
    EXPECT_EQ(ToolTip(*next), "Next Sector/Cluster");
    const CommandInfo* gotoSector = FindCommand(CMD_GOTO_SECTOR);
    EXPECT_EQ(ToolTip(*gotoSector), "");
}

}  // namespace
}  // namespace brovane

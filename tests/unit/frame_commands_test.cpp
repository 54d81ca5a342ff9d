// The commands that act on the whole window, driven as brovane-batch drives them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace brovane

// Byte editing and Write Changes on built volumes: exactly the unit shown
// reaches the disk, or nothing; the box texts parse as the dialog parses them.
#include <gtest/gtest.h>

#include "app/selection_dispatch.h"
#include "dump/dump_paging.h"
#include "screen/byte_boxes.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kVolumeStart = 2048;
constexpr std::uint64_t kDiskBytes = 16 << 20;
// Sixteen bytes that no built structure holds where they are written.
const std::string kSixteen = " A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0";
const Bytes kSixteenBytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                          0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0};

TEST(ByteBoxes, ParseLikeTheDialog) {
    struct Case {
        std::string text;
        std::uint8_t expected;
    };
    const Case cases[] = {{"7", 0x07},  {"ab", 0xAB}, {"", 0x4A},   {"g1", 0x4A}, {"1g", 0x01},
                          {"-1", 0xFF}, {"+F", 0x0F}, {" 3", 0x03}, {"-", 0x4A},  {"Ff", 0xFF}};
    for (const Case& c : cases) {
        std::uint8_t byte = 0x4A;
        ParseByteBox(c.text, byte);
        EXPECT_EQ(byte, c.expected) << "'" << c.text << "'";
    }
    EXPECT_EQ(ByteBoxText(0x0A), "0A");
}

imagebuilder::Disk FileDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = kDiskBytes;
    disk.primaries[0] = Primary(0x06, kVolumeStart, 20000);
    imagebuilder::FatVolume volume = Volume(imagebuilder::FatKind::Fat16, kVolumeStart, 20000);
    imagebuilder::EntryDescription file;
    file.path = "/FILE.BIN";
    file.data = std::string(3 * 2048, 'x');
    file.clusters = {5, 9, 6};
    volume.entries = {file};
    disk.volumes.push_back(volume);
    return disk;
}

class EditWriteTest : public ::testing::TestWithParam<bool>, public WalkHarness {
  protected:
    void SetUp() override {
        PlaceBuiltDisk(platform, FileDisk());
        before = Image();
        Start(GetParam());
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
    }
    MemoryDisk& Disk() { return *platform.FindDisk(0x80); }
    Bytes Image() { return PeekBytes(Disk(), 0, kDiskBytes); }
    // The offsets whose bytes differ from the image before the test.
    std::vector<std::uint64_t> Changed() {
        Bytes now = Image();
        std::vector<std::uint64_t> offsets;
        for (std::uint64_t i = 0; i < now.size(); ++i) {
            if (now[i] != before[i]) {
                offsets.push_back(i);
            }
        }
        return offsets;
    }
    std::vector<std::uint64_t> Run(std::uint64_t first, std::uint64_t count) {
        std::vector<std::uint64_t> offsets(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            offsets[i] = first + i;
        }
        return offsets;
    }
    void ExpectSixteenAt(std::uint64_t offset) {
        EXPECT_EQ(Changed(), Run(offset, 16));
        EXPECT_EQ(PeekBytes(Disk(), offset, 16), kSixteenBytes);
    }
    TreeItemInfo File() {
        TreeItemInfo file = Record("Hard Disk 1/#1/Root Directory");
        file.kind = IK_DIR_ENTRY;
        file.relativeSector = file.firstDataSector;
        file.sectorCount = 0;
        file.firstCluster = 5;
        file.attributes = 0x20;
        return file;
    }
    Bytes before;
};

TEST_P(EditWriteTest, PagedFatSectorWritesSixteenBytesAtTheirPlace) {
    Batch("key Ctrl+F4\nselect Hard Disk 1/#1/FAT 1\ncommand next\ncommand next\ncommand next\n");
    Batch("edit 5" + kSixteen + "\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "message: Changes written successfully!");
    std::uint32_t fat = Record("Hard Disk 1/#1/FAT 1").relativeSector;
    ExpectSixteenAt((kVolumeStart + fat + 3) * 512ull + 5 * 16);
}

TEST_P(EditWriteTest, ClusterWriteLandsAtTheClusterOfTheChain) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    TreeItemInfo file = File();
    DispatchSelection(session.Io(), session.pane, &file);
    GoToNextUnit(session.Io(), session.pane);
    GoToNextUnit(session.Io(), session.pane);
    // Row 40 of a four-sector cluster lies in its second sector.
    Batch("edit 40" + kSixteen + "\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "message: Changes written successfully!");
    ExpectSixteenAt((kVolumeStart + file.relativeSector + (6 - 2) * 4) * 512ull + 640);
}

TEST_P(EditWriteTest, MasterBootRecordAndRawSectorsAreWrittenWhereTheyWereRead) {
    Batch("key Ctrl+F4\nselect Hard Disk 1\nedit 27" + kSixteen + "\nanswer yes\ncommand write\n");
    ExpectSixteenAt(27 * 16);
    before = Image();
    Batch("key F4\nselect Hard Disk 1/#1/FAT 2\n");
    for (int i = 0; i < 5; ++i) {
        Batch("command next\n");
    }
    Batch("edit 0" + kSixteen + "\nanswer yes\ncommand write\n");
    EXPECT_EQ(session.pane.viewMode, VM_RAW_SECTOR_DUMP);
    ExpectSixteenAt((kVolumeStart + Record("Hard Disk 1/#1/FAT 2").relativeSector + 5) * 512ull);
}

TEST_P(EditWriteTest, NothingIsWrittenWithoutAYesOrADump) {
    Batch("key Ctrl+F4\nselect Hard Disk 1\nedit 0" + kSixteen + "\nanswer no\ncommand write\n");
    Batch("key Ctrl+F4\nselect Hard Disk 1\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "confirm: Are you sure to write to disk? -> yes");
    EXPECT_TRUE(Changed().empty());
    EXPECT_EQ(platform.counters.writes + platform.counters.libraryWrites, 0u);
}

TEST_P(EditWriteTest, ReadOnlyDiskAndShortWritesAreNotReportedAsSuccess) {
    Disk().faults.readOnly = true;
    Batch("key Ctrl+F4\nselect Hard Disk 1\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "message: Critical Sector not accessible!");
    Batch("select Hard Disk 1/#1/FAT 1\ncommand next\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "message: Sector not accessible!");
    Disk().faults.readOnly = false;
    Disk().faults.write.maxBytesPerCall = 100;
    Batch("select Hard Disk 1\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "message: Critical Sector not accessible!");
    EXPECT_EQ(std::count(printed.begin(), printed.end(), "message: Changes written successfully!"),
              0);
}

TEST_P(EditWriteTest, UnitThatFailedToReadIsNeverWritten) {
    Batch("key F4\nselect Hard Disk 1/#1/FAT 1\n");
    std::uint32_t fat = Record("Hard Disk 1/#1/FAT 1").relativeSector;
    Disk().faults.read.badSectors = {kVolumeStart + fat + 1};
    Batch("command next\nedit 0" + kSixteen + "\nanswer yes\ncommand write\n");
    EXPECT_EQ(printed.back(), "message: Sector not accessible!");
    EXPECT_TRUE(Changed().empty());
    EXPECT_EQ(platform.counters.writes + platform.counters.libraryWrites, 0u);
}

TEST_P(EditWriteTest, ItemStartingAtSectorZeroIsWrittenByItsOwnAddressOnlyAtPositionZero) {
    TreeItemInfo volumeStart = Record("Hard Disk 1/#1/FAT 1");
    volumeStart.relativeSector = 0;
    volumeStart.sectorCount = 10;
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    DispatchSelection(session.Io(), session.pane, &volumeStart);
    GoToNextUnit(session.Io(), session.pane);
    Batch("edit 0" + kSixteen + "\nanswer yes\ncommand write\n");
    ExpectSixteenAt((kVolumeStart + 1) * 512ull);
}

TEST_P(EditWriteTest, RawMarkTurnsOnlyASectorDumpIntoARawOne) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    TreeItemInfo file = File();
    DispatchSelection(session.Io(), session.pane, &file);
    screen.SetMenuChecked(CMD_RAW_DUMPING, true);  // set without showing the item again
    Batch("edit 0" + kSixteen + "\nanswer yes\ncommand write\n");
    EXPECT_EQ(session.pane.viewMode, VM_CLUSTER_DUMP);
    ExpectSixteenAt((kVolumeStart + file.relativeSector + (5 - 2) * 4) * 512ull);
}

TEST_P(EditWriteTest, EditingNeedsADumpingModeAFocusedRowAndLeavesCancelledRowsAlone) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    Batch("select Hard Disk 1\n");
    Bytes sector(session.pane.currentBuffer.data(), session.pane.currentBuffer.data() + 512);
    Batch("edit 3 cancel\n");
    EXPECT_EQ(printed.back(), "dialog: Enter Bytes to Change -> Cancel");
    // No row has the focus: a double click edits nothing.
    screen.SetListItemState(3, false, false);
    session.OnListDoubleClick();
    EXPECT_EQ(printed.back(), "dialog: Enter Bytes to Change -> Cancel");
    EXPECT_EQ(Bytes(session.pane.currentBuffer.data(), session.pane.currentBuffer.data() + 512),
              sector);
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, false);
    Batch("edit 3" + kSixteen + "\n");
    EXPECT_EQ(printed.back(),
              "message: Editing is possible only in Sector/Cluster dumping modes\\x0A"
              "Select 'Action->Sector/Cluster Dumping or Raw Sector Dumping' from main menu");
    EXPECT_EQ(Batch("rightclick list 0\n"),
              "&Copy\n&Paste\n&Safe Paste\n&Delete\nS&afe Delete\nD&oomed Delete\n");
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, EditWriteTest, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Library" : "DevicePaths"; });

}  // namespace
}  // namespace brovane

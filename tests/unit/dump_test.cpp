// Sector and cluster dumps, their paging, byte editing and Write Changes on a
// built volume in both access modes: what is shown, what reaches the disk
// (exactly the unit shown, or nothing), and the failures the fault matrix
// does not make.
#include <gtest/gtest.h>

#include "app/selection_dispatch.h"
#include "disk/sector_transfer.h"
#include "dump/dump_paging.h"
#include "screen/byte_boxes.h"
#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kVolumeStart = 2048;
constexpr std::uint32_t kClusterBytes = 4 * 512;
// Sixteen bytes that no built structure holds where they are written.
const std::string kSixteen = " A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0";
const Bytes kSixteenBytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                          0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0};

TEST(ByteBoxes, ParseLikeTheDialog) {
    const std::pair<std::string, std::uint8_t> cases[] = {
        {"7", 0x07},  {"ab", 0xAB}, {"", 0x4A},   {"g1", 0x4A}, {"1g", 0x01},
        {"-1", 0xFF}, {"+F", 0x0F}, {" 3", 0x03}, {"-", 0x4A},  {"Ff", 0xFF}};
    for (const auto& [text, expected] : cases) {
        std::uint8_t byte = 0x4A;
        ParseByteBox(text, byte);
        EXPECT_EQ(byte, expected) << "'" << text << "'";
    }
    EXPECT_EQ(ByteBoxText(0x0A), "0A");
}

// Cluster n of a file holds the byte n + 1 everywhere, so a buffer tells
// which cluster it came from.
std::string ClusterData(std::size_t clusters) {
    std::string data;
    for (std::size_t n = 0; n < clusters; ++n) {
        data.append(kClusterBytes, static_cast<char>(n + 1));
    }
    return data;
}

// SCATTER.BIN over clusters 5, 9, 6 and ONE.BIN in cluster 12 of a FAT16
// volume of four sectors a cluster.
imagebuilder::Disk FileDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 16 << 20;
    disk.primaries[0] = Primary(0x06, kVolumeStart, 20000);
    imagebuilder::FatVolume volume = Volume(imagebuilder::FatKind::Fat16, kVolumeStart, 20000);
    imagebuilder::EntryDescription scattered = imagebuilder::FileEntry("/SCATTER.BIN", "");
    scattered.data = ClusterData(3);
    scattered.clusters = {5, 9, 6};
    imagebuilder::EntryDescription single = imagebuilder::FileEntry("/ONE.BIN", ClusterData(1));
    single.clusters = {12};
    volume.entries = {scattered, single};
    disk.volumes.push_back(volume);
    return disk;
}

class DumpTest : public ::testing::TestWithParam<bool>, public WalkHarness {
  protected:
    void SetUp() override {
        PlaceBuiltDisk(platform, FileDisk());
        before = Image();
        Start(GetParam());
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
    }
    MemoryDisk& Disk() { return *platform.FindDisk(0x80); }
    Bytes Image() { return PeekBytes(Disk(), 0, 16 << 20); }
    // The disk is as before but for the sixteen bytes at offset.
    void ExpectSixteenAt(std::uint64_t offset) {
        Bytes expected = before;
        std::copy(kSixteenBytes.begin(), kSixteenBytes.end(),
                  expected.begin() + static_cast<std::ptrdiff_t>(offset));
        EXPECT_TRUE(Image() == expected) << "sixteen bytes expected at " << offset << " alone";
    }
    // A file of the root directory, as its directory entry's item.
    TreeItemInfo File(std::uint32_t firstCluster) {
        TreeItemInfo file = Record("Hard Disk 1/#1/Root Directory");
        file.kind = IK_DIR_ENTRY;
        file.relativeSector = file.firstDataSector;
        file.sectorCount = 0;
        file.firstCluster = firstCluster;
        file.attributes = 0x20;
        return file;
    }
    void Show(const TreeItemInfo& item) { DispatchSelection(session.Io(), session.pane, &item); }
    void Next() { GoToNextUnit(session.Io(), session.pane); }
    std::uint32_t DataStart() { return File(0).relativeSector; }
    std::uint8_t FirstByte() { return session.pane.currentBuffer.data()[0]; }
    std::string Position() { return screen.StatusText(kPositionPane); }
    std::string Write(const std::string& row) {
        Batch("edit " + row + kSixteen + "\nanswer yes\ncommand write\n");
        return printed.back();
    }

    Bytes before;
};

// ---- Dumps and paging ----

TEST_P(DumpTest, FilePagesAlongItsChainOneClusterAtATime) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    Show(File(5));
    RightPaneState& pane = session.pane;
    EXPECT_EQ(pane.viewMode, VM_CLUSTER_DUMP);
    EXPECT_EQ(pane.clusterChain.Length(), 3u);
    EXPECT_EQ(pane.currentBuffer.size(), kClusterBytes);
    EXPECT_EQ(screen.GetListItemCount(), 4 * 32);
    EXPECT_EQ(FirstByte(), 1);
    std::uint32_t data = DataStart();
    EXPECT_EQ(Position(), "Current Cluster Number: 0x00000005, Current Sector Number: " +
                              std::to_string(data + 12));
    EXPECT_FALSE(pane.canGoPrevious);
    EXPECT_TRUE(pane.canGoNext);

    Next();
    EXPECT_EQ(FirstByte(), 2);
    EXPECT_EQ(Position(), "Current Cluster Number: 0x00000009, Current Sector Number: " +
                              std::to_string(data + 28));
    Next();
    EXPECT_EQ(FirstByte(), 3);
    EXPECT_FALSE(pane.canGoNext);
    EXPECT_TRUE(pane.canGoPrevious);
    unsigned reads = platform.counters.reads + platform.counters.libraryReads;
    Next();  // disabled: nothing happens
    EXPECT_EQ(platform.counters.reads + platform.counters.libraryReads, reads);
    EXPECT_EQ(pane.currentIndex, 2u);
    GoToPreviousUnit(session.Io(), pane);
    EXPECT_EQ(FirstByte(), 2);
    EXPECT_TRUE(pane.canGoNext);
    // One unit is held: the buffer stays one cluster, the FAT is given up.
    EXPECT_EQ(pane.currentBuffer.size(), kClusterBytes);
    EXPECT_TRUE(pane.unitRead);

    // A one-cluster file and a one-sector item leave both commands disabled.
    Show(File(12));
    EXPECT_FALSE(pane.canGoPrevious || pane.canGoNext);
    Batch("select Hard Disk 1\n");
    EXPECT_EQ(pane.viewMode, VM_SECTOR_DUMP);
    EXPECT_FALSE(pane.canGoNext);
    EXPECT_EQ(Position(), "Current Sector Number: 0");
}

TEST_P(DumpTest, RawDumpOfAFatPagesToTheEndOfItsVolume) {
    screen.SetMenuChecked(CMD_RAW_DUMPING, true);
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);  // raw wins
    Batch("select Hard Disk 1/#1/FAT 1\n");
    RightPaneState& pane = session.pane;
    const TreeItemInfo& fat = Record("Hard Disk 1/#1/FAT 1");
    EXPECT_EQ(pane.currentItem.sectorCount, fat.volumeSectors - fat.relativeSector);
    EXPECT_EQ(pane.currentBuffer.size(), 512u);
    EXPECT_EQ(Position(), "Current Sector Number: " + std::to_string(fat.relativeSector));
    pane.currentIndex = pane.currentItem.sectorCount - 2;
    Next();
    EXPECT_EQ(pane.viewMode, VM_RAW_SECTOR_DUMP);
    EXPECT_FALSE(pane.canGoNext);
    EXPECT_EQ(Position(), "Current Sector Number: " + std::to_string(fat.volumeSectors - 1));
}

TEST_P(DumpTest, UnknownPartitionPagedPastTheDeviceSaysSectorNotAccessible) {
    screen.SetMenuChecked(CMD_RAW_DUMPING, true);
    TreeItemInfo unknown = Record("Hard Disk 1");
    unknown.kind = IK_UNKNOWN;
    unknown.relativeSector = 1;
    Show(unknown);
    RightPaneState& pane = session.pane;
    EXPECT_EQ(pane.currentItem.sectorCount, 4294967295u);
    pane.currentIndex = static_cast<std::uint32_t>(Disk().sectorCount) + 5;
    printed.clear();
    Next();
    EXPECT_EQ(printed, Messages({"Sector not accessible!"}));
    EXPECT_FALSE(pane.unitRead);
    // The last sector address there is: beyond 32 bits it is not read at all.
    pane.currentIndex = 0xFFFFFFFDu;
    Next();
    EXPECT_EQ(printed.size(), 2u);
}

TEST_P(DumpTest, ClusterBelowTwoInAChainIsNotRead) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    TreeItemInfo file = File(5);
    // FAT 1 and FAT 2: cluster 5 now leads to cluster 1.
    for (std::uint32_t copy = 0; copy < 2; ++copy) {
        std::uint64_t fat = (kVolumeStart + file.reservedSectors) * 512ull +
                            copy * std::uint64_t{file.sectorsPerFat} * 512;
        PokeBytes(Disk(), fat + 2 * 5, {0x01, 0x00});
    }
    Show(file);
    EXPECT_EQ(session.pane.clusterChain.Length(), 2u);
    Next();
    EXPECT_EQ(printed.back(), "message: Cluster not accessible!");
    EXPECT_FALSE(session.pane.unitRead);
}

// Both FAT copies unreadable, and every read failing in other ways, are the
// fault matrix's.
TEST_P(DumpTest, FirstFatCopyUnreadableOrAnEmptyChainSayNothing) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    TreeItemInfo file = File(5);
    // The first copy unreadable: the second serves without a word.
    Disk().faults.read.badSectors = {kVolumeStart + file.reservedSectors};
    Show(file);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(session.pane.viewMode, VM_CLUSTER_DUMP);
    // An empty chain stops silently.
    Disk().faults.read.badSectors.clear();
    Show(File(0));
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(session.pane.viewMode, VM_NONE);
}

TEST_P(DumpTest, AllocationFailuresSayTheirOwnTexts) {
    struct Failure {
        bool directory;
        bool sectorDump;
        unsigned nth;  // the item's (or the FAT's) buffer, the chain list, the unit's buffer
        std::string text;
        bool paneCleared = true;
    };
    const Failure failures[] = {
        {false, false, 3, "Fatal Error!  Not able to allocate a Buffer!"},
        {true, false, 3, "Fatal Error!  Not able to allocate a buffer!"},
        {false, true, 2, "Fatal Error! Not able to allocate a buffer!"},
        {false, false, 2, "Fatal Error!  Not able to allocate a buffer for FAT Entries!", false},
    };
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.text);
        TreeItemInfo item = File(5);
        if (failure.directory) {
            item.attributes = 0x10;
        }
        printed.clear();
        platform.settings.failingAllocation = platform.counters.allocations + failure.nth;
        if (failure.sectorDump) {
            Batch("select Hard Disk 1\n");
        } else {
            Show(item);
        }
        EXPECT_EQ(printed, Messages({failure.text}));
        if (failure.paneCleared) {
            EXPECT_FALSE(session.pane.currentBuffer);
            EXPECT_FALSE(session.pane.clusterChain);
            EXPECT_EQ(session.pane.viewMode, VM_NONE);
        }
        platform.settings.failingAllocation = 0;
    }
}

// ---- Editing and Write Changes ----
// Where the edits of each kind of unit land, and that no, a table view or a
// read-only image write nothing, are the write_changes acceptance test's.

TEST_P(DumpTest, UnitThatFailedToReadIsNeverWritten) {
    Batch("key F4\nselect Hard Disk 1/#1/FAT 1\n");
    std::uint32_t fat = Record("Hard Disk 1/#1/FAT 1").relativeSector;
    Disk().faults.read.badSectors = {kVolumeStart + fat + 1};
    Next();
    EXPECT_EQ(Write("0"), "message: Sector not accessible!");
    EXPECT_TRUE(Image() == before);
    EXPECT_EQ(platform.counters.writes + platform.counters.libraryWrites, 0u);
}

TEST_P(DumpTest, ItemStartingAtSectorZeroIsWrittenByItsOwnAddressOnlyAtPositionZero) {
    TreeItemInfo volumeStart = Record("Hard Disk 1/#1/FAT 1");
    volumeStart.relativeSector = 0;
    volumeStart.sectorCount = 10;
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    Show(volumeStart);
    Next();
    Write("0");
    ExpectSixteenAt((kVolumeStart + 1) * 512ull);
}

TEST_P(DumpTest, RawMarkTurnsOnlyASectorDumpIntoARawOne) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    TreeItemInfo file = File(5);
    Show(file);
    screen.SetMenuChecked(CMD_RAW_DUMPING, true);  // set without showing the item again
    Write("0");
    EXPECT_EQ(session.pane.viewMode, VM_CLUSTER_DUMP);
    ExpectSixteenAt((kVolumeStart + file.relativeSector + (5 - 2) * 4) * 512ull);
}

TEST_P(DumpTest, EditingNeedsADumpingModeAFocusedRowAndLeavesCancelledRowsAlone) {
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

INSTANTIATE_TEST_SUITE_P(BothAccessModes, DumpTest, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Library" : "DevicePaths"; });

TEST(DirectoryClusterDump, Fat32RootInSectorClusterModeDumpsItsFirstCluster) {
    WalkHarness run;
    imagebuilder::Disk disk;
    disk.sizeBytes = 48 << 20;
    disk.primaries[0] = Primary(0x0C, 2048, 70000);
    imagebuilder::FatVolume volume = Volume(imagebuilder::FatKind::Fat32, 2048, 70000);
    volume.sectorsPerCluster = 1;
    volume.rootClusters = {7, 3};
    disk.volumes.push_back(volume);
    PlaceBuiltDisk(run.platform, disk);
    run.Start();
    run.Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nkey Ctrl+F4\n");
    run.Batch("select Hard Disk 1/#1/Root Directory\n");
    const TreeItemInfo& root = run.Record("Hard Disk 1/#1/Root Directory");
    EXPECT_EQ(run.session.pane.viewMode, VM_CLUSTER_DUMP);
    EXPECT_EQ(run.screen.GetListColumnCount(), 34);
    EXPECT_EQ(run.screen.Columns()[0].width, 100);
    EXPECT_EQ(run.screen.StatusText(kPositionPane),
              "Current Cluster Number: 0x00000007, Current Sector Number: " +
                  std::to_string(root.relativeSector + 5));
    run.Batch("command next\n");
    EXPECT_EQ(run.screen.StatusText(kPositionPane),
              "Current Cluster Number: 0x00000003, Current Sector Number: " +
                  std::to_string(root.relativeSector + 1));
    EXPECT_FALSE(run.session.pane.canGoNext);
}

}  // namespace
}  // namespace brovane

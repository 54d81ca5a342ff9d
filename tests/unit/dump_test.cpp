// Sector and cluster dumps and their paging, on built volumes in both access
// modes, and every row of the dumps' failure table.
#include <gtest/gtest.h>

#include "app/selection_dispatch.h"
#include "disk/sector_transfer.h"
#include "dump/dump_paging.h"
#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kVolumeStart = 2048;
constexpr std::uint32_t kClusterBytes = 4 * 512;

// Cluster n of a file holds the byte n + 1 everywhere, so a buffer tells
// which cluster it came from.
std::string ClusterData(std::size_t clusters) {
    std::string data;
    for (std::size_t n = 0; n < clusters; ++n) {
        data.append(kClusterBytes, static_cast<char>(n + 1));
    }
    return data;
}

imagebuilder::Disk FileDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 16 << 20;
    disk.primaries[0] = Primary(0x06, kVolumeStart, 20000);
    imagebuilder::FatVolume volume = Volume(imagebuilder::FatKind::Fat16, kVolumeStart, 20000);
    imagebuilder::EntryDescription scattered;
    scattered.path = "/SCATTER.BIN";
    scattered.data = ClusterData(3);
    scattered.clusters = {5, 9, 6};
    imagebuilder::EntryDescription single;
    single.path = "/ONE.BIN";
    single.data = ClusterData(1);
    single.clusters = {12};
    volume.entries = {scattered, single};
    disk.volumes.push_back(volume);
    return disk;
}

class DumpTest : public ::testing::TestWithParam<bool>, public WalkHarness {
  protected:
    void SetUp() override {
        PlaceBuiltDisk(platform, FileDisk());
        Start(GetParam());
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
    }
    MemoryDisk& Disk() { return *platform.FindDisk(0x80); }
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
    std::uint32_t DataStart() { return File(0).relativeSector; }
    std::uint8_t FirstByte() { return session.pane.currentBuffer.data()[0]; }
    std::string Position() { return screen.StatusText(kPositionPane); }
};

TEST_P(DumpTest, FilePagesAlongItsChainOneClusterAtATime) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    Show(File(5));
    RightPaneState& pane = session.pane;
    EXPECT_EQ(pane.viewMode, VM_CLUSTER_DUMP);
    EXPECT_EQ(pane.chainLength, 3u);
    EXPECT_EQ(pane.currentBuffer.size(), kClusterBytes);
    EXPECT_EQ(screen.GetListItemCount(), 4 * 32);
    EXPECT_EQ(FirstByte(), 1);
    std::uint32_t data = DataStart();
    EXPECT_EQ(Position(), "Current Cluster Number: 0x00000005, Current Sector Number: " +
                              std::to_string(data + 12));
    EXPECT_FALSE(pane.canGoPrevious);
    EXPECT_TRUE(pane.canGoNext);

    GoToNextUnit(session.Io(), pane);
    EXPECT_EQ(FirstByte(), 2);
    EXPECT_EQ(Position(), "Current Cluster Number: 0x00000009, Current Sector Number: " +
                              std::to_string(data + 28));
    GoToNextUnit(session.Io(), pane);
    EXPECT_EQ(FirstByte(), 3);
    EXPECT_FALSE(pane.canGoNext);
    EXPECT_TRUE(pane.canGoPrevious);
    unsigned reads = platform.counters.reads + platform.counters.libraryReads;
    GoToNextUnit(session.Io(), pane);  // disabled: nothing happens
    EXPECT_EQ(platform.counters.reads + platform.counters.libraryReads, reads);
    EXPECT_EQ(pane.currentIndex, 2u);
    GoToPreviousUnit(session.Io(), pane);
    EXPECT_EQ(FirstByte(), 2);
    EXPECT_TRUE(pane.canGoNext);
    // One unit is held: the buffer stays one cluster, the FAT is given up.
    EXPECT_EQ(pane.currentBuffer.size(), kClusterBytes);
    EXPECT_TRUE(pane.unitRead);
}

TEST_P(DumpTest, OneClusterFileAndOneSectorItemLeaveBothCommandsDisabled) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    Show(File(12));
    EXPECT_FALSE(session.pane.canGoPrevious);
    EXPECT_FALSE(session.pane.canGoNext);
    Batch("select Hard Disk 1\n");
    EXPECT_EQ(session.pane.viewMode, VM_SECTOR_DUMP);
    EXPECT_FALSE(session.pane.canGoNext);
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
    GoToNextUnit(session.Io(), pane);
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
    GoToNextUnit(session.Io(), pane);
    EXPECT_EQ(printed, (std::vector<std::string>{"message: Sector not accessible!"}));
    EXPECT_FALSE(pane.unitRead);
    // The last sector address there is: beyond 32 bits it is not read at all.
    pane.currentIndex = 0xFFFFFFFDu;
    GoToNextUnit(session.Io(), pane);
    EXPECT_EQ(printed.size(), 2u);
}

TEST_P(DumpTest, PagedSectorUnreadableMovesThePositionButKeepsRowsAndText) {
    screen.SetMenuChecked(CMD_RAW_DUMPING, true);
    Batch("select Hard Disk 1/#1/FAT 1\n");
    const TreeItemInfo& fat = Record("Hard Disk 1/#1/FAT 1");
    Disk().faults.read.badSectors = {kVolumeStart + fat.relativeSector + 1};
    std::string before = Position();
    GoToNextUnit(session.Io(), session.pane);
    EXPECT_EQ(printed.back(), "message: Sector not accessible!");
    EXPECT_EQ(session.pane.currentIndex, 1u);
    EXPECT_TRUE(session.pane.canGoPrevious);
    EXPECT_FALSE(session.pane.unitRead);
    EXPECT_EQ(Position(), before);
    EXPECT_EQ(screen.StatusText(kProgressPane), "Wait....");
    GoToPreviousUnit(session.Io(), session.pane);
    EXPECT_TRUE(session.pane.unitRead);
    EXPECT_EQ(Position(), before);
}

TEST_P(DumpTest, UnreadableClustersAreShownFromWhatTheReadLeft) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    std::uint32_t data = DataStart();
    Disk().faults.read.badSectors = {kVolumeStart + data + 12 + 1, kVolumeStart + data + 28};
    Show(File(5));
    EXPECT_EQ(printed, (std::vector<std::string>{"message: Cluster not accessible!"}));
    EXPECT_EQ(screen.GetListItemCount(), 4 * 32);
    EXPECT_EQ(session.pane.currentBuffer.data()[512], kUnreadableFill);
    EXPECT_FALSE(session.pane.unitRead);
    EXPECT_TRUE(session.pane.canGoNext);
    GoToNextUnit(session.Io(), session.pane);
    EXPECT_EQ(printed.back(), "message: Cluster not accessible!");
    EXPECT_EQ(session.pane.currentIndex, 1u);
    EXPECT_NE(Position().find("0x00000009"), std::string::npos);
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
    EXPECT_EQ(session.pane.chainLength, 2u);
    GoToNextUnit(session.Io(), session.pane);
    EXPECT_EQ(printed.back(), "message: Cluster not accessible!");
    EXPECT_FALSE(session.pane.unitRead);
}

TEST_P(DumpTest, FatFailuresOfAClusterDump) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    TreeItemInfo file = File(5);
    // The first copy unreadable: the second serves without a word.
    Disk().faults.read.badSectors = {kVolumeStart + file.reservedSectors};
    Show(file);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(session.pane.viewMode, VM_CLUSTER_DUMP);
    // Both copies unreadable: the headings stay without rows.
    Disk().faults.read.badSectors.insert(kVolumeStart + file.reservedSectors + file.sectorsPerFat);
    Show(file);
    EXPECT_EQ(printed, (std::vector<std::string>{"message: FAT not accessible!"}));
    EXPECT_EQ(screen.GetListColumnCount(), 34);
    EXPECT_EQ(screen.GetListItemCount(), 0);
    EXPECT_EQ(session.pane.viewMode, VM_NONE);
    // An empty chain stops silently.
    printed.clear();
    Disk().faults.read.badSectors.clear();
    Show(File(0));
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(session.pane.viewMode, VM_NONE);
}

TEST_P(DumpTest, FirstSectorOfADiskUnreadableShowsNoRowsButSetsThePosition) {
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    Disk().faults.read.badSectors = {0};
    Batch("select Hard Disk 1\n");
    std::string text = GetParam() ? "Sector not accessible!" : "Boot Record not accessible!";
    EXPECT_EQ(printed, (std::vector<std::string>{"message: " + text}));
    EXPECT_EQ(screen.GetListItemCount(), 0);
    EXPECT_EQ(session.pane.viewMode, VM_SECTOR_DUMP);
    EXPECT_EQ(session.pane.currentItem.kind, IK_HARD_DISK);
    EXPECT_FALSE(session.pane.unitRead);
}

TEST_P(DumpTest, AllocationFailuresSayTheirOwnTexts) {
    struct Failure {
        bool directory;
        bool sectorDump;
        std::string text;
    };
    const Failure failures[] = {
        {false, false, "Fatal Error!  Not able to allocate a Buffer!"},
        {true, false, "Fatal Error!  Not able to allocate a buffer!"},
        {false, true, "Fatal Error! Not able to allocate a buffer!"},
    };
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    for (const Failure& failure : failures) {
        TreeItemInfo item = File(5);
        if (failure.directory) {
            item.attributes = 0x10;
        }
        printed.clear();
        // The item's (or the FAT's) buffer and the chain list come first,
        // then the unit's buffer.
        platform.settings.failingAllocation =
            platform.counters.allocations + (failure.sectorDump ? 2 : 3);
        if (failure.sectorDump) {
            Batch("select Hard Disk 1\n");
        } else {
            Show(item);
        }
        EXPECT_EQ(printed, (std::vector<std::string>{"message: " + failure.text}));
        EXPECT_FALSE(session.pane.currentBuffer) << failure.text;
        EXPECT_FALSE(session.pane.clusterChain) << failure.text;
        EXPECT_EQ(session.pane.viewMode, VM_NONE) << failure.text;
        platform.settings.failingAllocation = 0;
    }
    // The list of the chain.
    printed.clear();
    platform.settings.failingAllocation = platform.counters.allocations + 2;
    Show(File(5));
    EXPECT_EQ(printed,
              (std::vector<std::string>{
                  "message: Fatal Error!  Not able to allocate a buffer for FAT Entries!"}));
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, DumpTest, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Library" : "DevicePaths"; });

}  // namespace
}  // namespace brovane

namespace brovane {
namespace {

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

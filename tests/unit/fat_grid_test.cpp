#include "present/fat_presenters.h"

#include <gtest/gtest.h>

#include "walk_harness.h"

namespace brovane {
namespace {

using imagebuilder::FatKind;

constexpr std::uint64_t kMiB = 1 << 20;

// Partition starts and FAT sizes of the grid disk.
constexpr std::uint32_t kFat12Start = 2048;
constexpr std::uint32_t kFat16Start = 8192;
constexpr std::uint32_t kFat32Start = 30720;
constexpr std::uint32_t kFat12Sectors = 4;  // not a multiple of 3: a partial last row

// One volume of each type, each with a file fragmented over clusters 5, 9, 6.
imagebuilder::Disk GridDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 64 * kMiB;
    disk.primaries[0] = Primary(0x01, kFat12Start, 4000);
    disk.primaries[1] = Primary(0x06, kFat16Start, 20000);
    disk.primaries[2] = Primary(0x0C, kFat32Start, 70000);
    imagebuilder::FatVolume fat12 = Volume(FatKind::Fat12, kFat12Start, 4000);
    fat12.sectorsPerFat = kFat12Sectors;
    imagebuilder::FatVolume fat16 = Volume(FatKind::Fat16, kFat16Start, 20000);
    imagebuilder::FatVolume fat32 = Volume(FatKind::Fat32, kFat32Start, 70000);
    fat32.sectorsPerCluster = 1;
    for (imagebuilder::FatVolume* volume : {&fat12, &fat16, &fat32}) {
        imagebuilder::EntryDescription file =
            imagebuilder::FileEntry("/PARTS.TXT", std::string(1500, 'p'));
        file.clusters = {5, 9, 6};
        volume->entries.push_back(file);
        volume->entries.push_back(imagebuilder::FileEntry("/NEXT.TXT", "next"));
        disk.volumes.push_back(*volume);
    }
    return disk;
}

struct GridHarness : WalkHarness {
    // Places the grid disk and expands its three volumes.
    MemoryDisk& StartOnGridDisk(bool library = false) {
        MemoryDisk& disk = *platform.FindDisk(PlaceBuiltDisk(platform, GridDisk()));
        Start(library);
        Batch(
            "expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#2\n"
            "expand Hard Disk 1/#3\n");
        return disk;
    }
};

class FatGridTest : public ::testing::Test, public GridHarness {};

// Every cell against the image's FAT, in both access modes, is the
// acceptance test's: here the shapes of the three grids and the fragmented
// file's chain 5 -> 9 -> 6.
TEST_F(FatGridTest, ThreeGridsOfTheirWidthsShowTheChains) {
    StartOnGridDisk();
    const std::pair<const char*, int> widths[] = {
        {"Hard Disk 1/#1/FAT 1", 35}, {"Hard Disk 1/#2/FAT 2", 40}, {"Hard Disk 1/#3/FAT 1", 75}};
    std::vector<std::vector<std::string>> grids;
    for (auto [path, width] : widths) {
        grids.push_back(BatchLines(std::string("select ") + path + "\nlist\n"));
        const TreeItemInfo& item = Record(path);
        EXPECT_EQ(session.pane.viewMode, item.fatType);
        EXPECT_EQ(Batch("status\n"),
                  "0: \n1: Current Sector Number: " + std::to_string(item.relativeSector) + "\n");
        ASSERT_EQ(screen.Columns().size(), 17u);
        EXPECT_EQ(screen.Columns()[0].heading, "FAT Entry");
        EXPECT_EQ(screen.Columns()[0].width, 100);
        for (std::size_t column = 1; column < 17; ++column) {
            EXPECT_EQ(screen.Columns()[column].width, width) << path;
            EXPECT_EQ(screen.Columns()[column].align, ColumnAlign::Left);
        }
    }
    EXPECT_TRUE(printed.empty());
    const std::vector<std::string>& fat12 = grids[0];
    ASSERT_EQ(fat12.size(), 1u + 86);  // 64 × 4 ÷ 3, rounded up
    EXPECT_EQ(fat12[0].substr(0, 23), "# FAT Entry\t000\t001\t002");
    EXPECT_EQ(fat12[1].substr(0, 48), "00000000\tFF8\tFFF\tFFF\t000\t000\t009\tFFF\t000\t000\t006");
    EXPECT_EQ(fat12[86].substr(0, 8), "00000550");
    EXPECT_EQ(fat12[86].substr(28), "\t\t\t\t\t\t\t\t\t\t\t");  // entries 1365 on lie past the FAT
    const std::vector<std::string>& fat16 = grids[1];
    EXPECT_EQ(fat16.size(), 1u + 16 * Record("Hard Disk 1/#2/FAT 2").sectorCount);
    EXPECT_EQ(fat16[1].substr(0, 58),
              "00000000\tFFF8\tFFFF\tFFFF\t0000\t0000\t0009\tFFFF\t0000\t0000\t0006");
    EXPECT_EQ(fat16[2].substr(0, 9), "00000010\t");
    const std::vector<std::string>& fat32 = grids[2];
    EXPECT_EQ(fat32.size(), 1u + 8 * Record("Hard Disk 1/#3/FAT 1").sectorCount);
    EXPECT_EQ(fat32[0].substr(0, 29), "# FAT Entry\t00000000\t00000001");
    // Entries 2 and 3: the root directory and the second file.
    EXPECT_EQ(fat32[1].substr(0, 62),
              "00000000\t0FFFFFF8\t0FFFFFFF\t0FFFFFFF\t0FFFFFFF\t00000000\t00000009");
}

// Unreadable FATs, listed from what the read left, are the fault matrix's.
TEST_F(FatGridTest, NoMemoryForTheFatOrAFatLargerThanItsVolumeShowsNoGrid) {
    StartOnGridDisk();
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    EXPECT_EQ(Batch("select Hard Disk 1/#3/FAT 1\nlist\n"), "# \n");
    EXPECT_EQ(printed, std::vector<std::string>{
                           "message: Fatal Error!  Not able to allocate a buffer of memory!"});
    EXPECT_FALSE(session.pane.currentBuffer);
    EXPECT_EQ(session.pane.viewMode, VM_NONE);

    // A damaged sectors-per-FAT that claims more than the whole volume; one
    // inside the volume its boot record claims, but larger than the disk.
    const std::vector<std::vector<imagebuilder::BootFieldOverride>> damages = {
        {{"sectors_per_fat_32", 0x01000000}},
        {{"total_sectors_32", 0x7FFFFFFF}, {"sectors_per_fat_32", 0x00100000}},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.back().value);
        WalkHarness damaged;
        imagebuilder::Disk disk = GridDisk();
        disk.volumes[2].bootOverrides = damage;
        PlaceBuiltDisk(damaged.platform, disk);
        damaged.Start();
        damaged.Batch("expand Hard Disk 1\nexpand Hard Disk 1/#3\n");
        unsigned allocations = damaged.platform.counters.allocations;
        std::size_t transfers = damaged.platform.transfers.size();
        EXPECT_EQ(damaged.Batch("select Hard Disk 1/#3/FAT 1\nlist\n"), "# \n");
        EXPECT_EQ(damaged.platform.counters.allocations, allocations);
        EXPECT_EQ(damaged.platform.transfers.size(), transfers);
        EXPECT_EQ(damaged.printed,
                  std::vector<std::string>{
                      "message: Fatal Error!  Not able to allocate a buffer of memory!"});
    }
}

TEST_F(FatGridTest, PresenterNeverReadsPastTheBufferItIsGiven) {
    StartOnGridDisk();
    TreeItemInfo item = Record("Hard Disk 1/#2/FAT 1");
    ASSERT_GT(item.sectorCount, 1u);
    ASSERT_TRUE(ReplaceCurrentBuffer(platform, session.pane, 1));
    std::size_t transfers = platform.transfers.size();
    ShowFat16(session.Io(), session.pane, item);
    EXPECT_EQ(platform.transfers.size(), transfers);
    EXPECT_EQ(printed, std::vector<std::string>{"message: FAT not accessible!"});
    ASSERT_EQ(screen.GetListItemCount(), 16 * static_cast<int>(item.sectorCount));
    EXPECT_EQ(screen.CellText(15, 16), "0000");
    EXPECT_EQ(screen.CellText(16, 0), "00000100");
    EXPECT_EQ(screen.CellText(16, 1), "");  // past the one sector held

    // A FAT of no sectors reads nothing and lists no rows.
    printed.clear();
    item.sectorCount = 0;
    ShowFat32(session.Io(), session.pane, item);
    EXPECT_EQ(screen.GetListItemCount(), 0);
    EXPECT_EQ(screen.GetListColumnCount(), 17);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(screen.StatusText(kPositionPane), "Current Sector Number: 1");
}

}  // namespace
}  // namespace brovane

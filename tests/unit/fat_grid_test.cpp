#include "present/fat_presenters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "format/fat_entry.h"
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

struct GridShape {
    std::uint16_t fatType;
    int digits;
    std::uint64_t bytesPerRow;
};

std::string Hex(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// The listing as the FAT's bytes give it, entry by entry through the FAT
// decoder: an entry not wholly inside the FAT is blank.
std::string ExpectedListing(const GridShape& shape, const std::vector<std::uint8_t>& fat) {
    std::string listing = "# FAT Entry";
    for (int column = 0; column < 16; ++column) {
        listing += "\t" + Hex(static_cast<std::uint64_t>(column), shape.digits);
    }
    listing += "\n";
    std::uint64_t rows = (fat.size() + shape.bytesPerRow - 1) / shape.bytesPerRow;
    for (std::uint64_t row = 0; row < rows; ++row) {
        listing += Hex(16 * row, 8);
        for (std::uint32_t entry = 0; entry < 16; ++entry) {
            std::optional<std::uint32_t> value =
                ReadFatEntry(static_cast<std::uint32_t>(16 * row) + entry, shape.fatType, fat);
            listing += "\t" + (value ? Hex(*value, shape.digits) : std::string());
        }
        listing += "\n";
    }
    return listing;
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
    std::vector<std::string> Rows(const std::string& listing) {
        std::vector<std::string> rows;
        std::size_t start = 0;
        for (std::size_t end; (end = listing.find('\n', start)) != std::string::npos;
             start = end + 1) {
            rows.push_back(listing.substr(start, end - start));
        }
        return rows;
    }
};

class FatGridTest : public ::testing::Test, public GridHarness {};

TEST_F(FatGridTest, EveryCellOfTheThreeGridsIsItsFatEntryInBothAccessModes) {
    const GridShape shapes[] = {{FT_FAT12, 3, 24}, {FT_FAT16, 4, 32}, {FT_FAT32, 8, 64}};
    const std::uint32_t starts[] = {kFat12Start, kFat16Start, kFat32Start};
    std::string deviceOutput;
    for (bool library : {false, true}) {
        GridHarness run;
        MemoryDisk& disk = run.StartOnGridDisk(library);
        std::string output;
        for (int volume = 0; volume < 3; ++volume) {
            for (int copy = 1; copy <= 2; ++copy) {
                std::string path =
                    "Hard Disk 1/#" + std::to_string(volume + 1) + "/FAT " + std::to_string(copy);
                const TreeItemInfo& item = run.Record(path);
                std::string listing = run.Batch("select " + path + "\nlist\n");
                std::vector<std::uint8_t> fat =
                    PeekBytes(disk, (std::uint64_t{starts[volume]} + item.relativeSector) * 512,
                              std::uint64_t{item.sectorCount} * 512);
                EXPECT_EQ(listing, ExpectedListing(shapes[volume], fat)) << path;
                EXPECT_EQ(run.Batch("status\n"), "0: \n1: Current Sector Number: " +
                                                     std::to_string(item.relativeSector) + "\n");
                EXPECT_EQ(run.session.pane.viewMode, shapes[volume].fatType);
                output += listing;
            }
        }
        EXPECT_TRUE(run.printed.empty());
        if (!library) {
            deviceOutput = output;
        } else {
            EXPECT_EQ(output, deviceOutput);
        }
    }
    // The fragmented file's chain 5 -> 9 -> 6, and the grids' sizes.
    StartOnGridDisk();
    std::vector<std::string> fat12 = Rows(Batch("select Hard Disk 1/#1/FAT 1\nlist\n"));
    ASSERT_EQ(fat12.size(), 1u + 86);  // 64 × 4 ÷ 3, rounded up
    EXPECT_EQ(fat12[0].substr(0, 23), "# FAT Entry\t000\t001\t002");
    EXPECT_EQ(fat12[1].substr(0, 48), "00000000\tFF8\tFFF\tFFF\t000\t000\t009\tFFF\t000\t000\t006");
    EXPECT_EQ(fat12[86].substr(0, 8), "00000550");
    EXPECT_EQ(fat12[86].substr(28), "\t\t\t\t\t\t\t\t\t\t\t");  // entries 1365 on lie past the FAT
    std::vector<std::string> fat16 = Rows(Batch("select Hard Disk 1/#2/FAT 2\nlist\n"));
    EXPECT_EQ(fat16.size(), 1u + 16 * Record("Hard Disk 1/#2/FAT 2").sectorCount);
    EXPECT_EQ(fat16[1].substr(0, 58),
              "00000000\tFFF8\tFFFF\tFFFF\t0000\t0000\t0009\tFFFF\t0000\t0000\t0006");
    EXPECT_EQ(fat16[2].substr(0, 9), "00000010\t");
    std::vector<std::string> fat32 = Rows(Batch("select Hard Disk 1/#3/FAT 1\nlist\n"));
    EXPECT_EQ(fat32.size(), 1u + 8 * Record("Hard Disk 1/#3/FAT 1").sectorCount);
    EXPECT_EQ(fat32[0].substr(0, 29), "# FAT Entry\t00000000\t00000001");
    // Entries 2 and 3: the root directory and the second file.
    EXPECT_EQ(fat32[1].substr(0, 62),
              "00000000\t0FFFFFF8\t0FFFFFFF\t0FFFFFFF\t0FFFFFFF\t00000000\t00000009");
    const std::vector<TextScreen::ColumnView>& columns = screen.Columns();
    ASSERT_EQ(columns.size(), 17u);
    EXPECT_EQ(columns[0].width, 100);
    EXPECT_EQ(columns[16].width, 75);
    EXPECT_EQ(columns[16].align, ColumnAlign::Left);
}

TEST_F(FatGridTest, ColumnWidthsOfTheSixteenBitAndTwelveBitGrids) {
    StartOnGridDisk();
    for (auto [path, width] :
         {std::pair{"Hard Disk 1/#1/FAT 1", 35}, {"Hard Disk 1/#2/FAT 1", 40}}) {
        Batch(std::string("select ") + path + "\n");
        ASSERT_EQ(screen.Columns().size(), 17u);
        EXPECT_EQ(screen.Columns()[0].heading, "FAT Entry");
        EXPECT_EQ(screen.Columns()[0].width, 100);
        for (std::size_t column = 1; column < 17; ++column) {
            EXPECT_EQ(screen.Columns()[column].width, width) << path;
        }
    }
}

TEST_F(FatGridTest, UnreadableSectorOfASixteenOrThirtyTwoBitFatIsListedAsItsFill) {
    MemoryDisk& disk = StartOnGridDisk();
    std::uint32_t fat16 = kFat16Start + Record("Hard Disk 1/#2/FAT 1").relativeSector;
    std::uint32_t fat32 = kFat32Start + Record("Hard Disk 1/#3/FAT 1").relativeSector;
    disk.faults.read.badSectors = {fat16 + 1, fat32 + 1};
    std::vector<std::string> rows = Rows(Batch("select Hard Disk 1/#2/FAT 1\nlist\nstatus\n"));
    EXPECT_EQ(printed, std::vector<std::string>{"message: FAT not accessible!"});
    ASSERT_EQ(rows.size(), 1 + 16 * Record("Hard Disk 1/#2/FAT 1").sectorCount + 2);
    EXPECT_EQ(rows[17],
              "00000100"
              "\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5"
              "\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5\tE5E5");
    EXPECT_EQ(rows[32].substr(0, 13), "000001F0\tE5E5");
    EXPECT_EQ(rows[33].substr(0, 13), "00000200\t0000");  // the sectors after it were read
    EXPECT_EQ(rows[1].substr(0, 13), "00000000\tFFF8");
    EXPECT_EQ(rows[rows.size() - 1], "1: Current Sector Number: 1");
    printed.clear();
    rows = Rows(Batch("select Hard Disk 1/#3/FAT 1\nlist 8 1\n"));
    EXPECT_EQ(printed, std::vector<std::string>{"message: FAT not accessible!"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].substr(0, 17), "00000080\t05E5E5E5");
    EXPECT_EQ(screen.GetListItemCount(),
              8 * static_cast<int>(Record("Hard Disk 1/#3/FAT 1").sectorCount));

    // The disk library stops at the failed piece and still lists every row.
    GridHarness library;
    library.StartOnGridDisk(true).faults.read.badSectors = {fat16 + 1};
    library.Batch("select Hard Disk 1/#2/FAT 1\n");
    EXPECT_EQ(library.printed, std::vector<std::string>{"message: FAT not accessible!"});
    EXPECT_EQ(library.screen.GetListItemCount(),
              16 * static_cast<int>(library.Record("Hard Disk 1/#2/FAT 1").sectorCount));
}

TEST_F(FatGridTest, UnreadableTwelveBitFatKeepsOnlyTheHeadings) {
    for (bool library : {false, true}) {
        GridHarness run;
        MemoryDisk& disk = run.StartOnGridDisk(library);
        disk.faults.read.badSectors = {kFat12Start + 1 + 2};
        run.screen.SetStatusText(kPositionPane, "before");
        std::string listing = run.Batch("select Hard Disk 1/#1/FAT 1\nlist\n");
        EXPECT_EQ(listing,
                  "# FAT Entry\t000\t001\t002\t003\t004\t005\t006\t007\t008\t009\t00A\t00B\t00C"
                  "\t00D\t00E\t00F\n");
        EXPECT_EQ(run.printed, std::vector<std::string>{"message: FAT not accessible!"});
        EXPECT_EQ(run.screen.StatusText(kPositionPane), "before");
        EXPECT_EQ(run.screen.StatusText(kProgressPane), "");
    }
}

TEST_F(FatGridTest, NoMemoryForTheFatOrAFatLargerThanItsVolumeShowsNoGrid) {
    StartOnGridDisk();
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    EXPECT_EQ(Batch("select Hard Disk 1/#3/FAT 1\nlist\n"), "# \n");
    EXPECT_EQ(printed, std::vector<std::string>{
                           "message: Fatal Error!  Not able to allocate a buffer of memory!"});
    EXPECT_FALSE(session.pane.currentBuffer);
    EXPECT_EQ(session.pane.viewMode, VM_NONE);

    // A damaged sectors-per-FAT that claims more than the whole volume.
    WalkHarness damaged;
    imagebuilder::Disk disk = GridDisk();
    disk.volumes[2].bootOverrides.push_back({"sectors_per_fat_32", 0x01000000});
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

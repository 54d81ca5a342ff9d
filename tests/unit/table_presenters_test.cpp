#include "present/table_presenters.h"

#include <gtest/gtest.h>

#include "app/selection_dispatch.h"
#include "app/selection_guard.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Entry(std::uint8_t boot, std::uint8_t head, std::uint8_t sector, std::uint8_t cylinder,
            std::uint8_t type, std::uint32_t relative, std::uint32_t count) {
    Bytes entry{boot, head, sector, cylinder, type, 0xFE, 0xFF, 0xFF};
    for (std::uint32_t value : {relative, count}) {
        for (int i = 0; i < 4; ++i) {
            entry.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    return entry;
}

class TablePresenterTest : public ::testing::Test, public WalkHarness {
  protected:
    // A hard disk whose sector 0 holds the given table entries, and a second
    // sector holding a boot record for the tests that want one.
    MemoryDisk& DiskWithTable(const std::vector<Bytes>& entries) {
        MemoryDisk& disk = *platform.FindDisk(platform.AddHardDisk(200000));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            PokeBytes(disk, 446 + 16 * i, entries[i]);
        }
        return disk;
    }
};

TEST_F(TablePresenterTest, PartitionTableShowsFortyRowsOfStoredValues) {
    DiskWithTable({Entry(0x81, 254, 0xC1, 0x12, 0x07, 0xFFFFFFF0u, 0x80000001u), Bytes(16, 0),
                   Entry(0x80, 1, 1, 0, 0x06, 63, 1000)});
    Start();
    platform.transfers.clear();
    std::vector<std::string> lines = BatchLines("select Hard Disk 1\nlist\n");
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines[0], "# Partition\tField\tValue");
    EXPECT_EQ(lines[1], "1\tBoot Indicator\tNon-Bootable");
    EXPECT_EQ(lines[2], "\tCylinder\t18");
    EXPECT_EQ(lines[3], "\tHead\t254");
    EXPECT_EQ(lines[4], "\tSector\t193");
    EXPECT_EQ(lines[5], "\tSystem Indicator\t7");
    EXPECT_EQ(lines[6], "\tEnding Cylinder\t255");
    EXPECT_EQ(lines[7], "\tEnding Head\t254");
    EXPECT_EQ(lines[8], "\tEnding Sector\t255");
    EXPECT_EQ(lines[9], "\tNumber of Sectors\t2147483649");
    EXPECT_EQ(lines[10], "\tRelative Sectors\t4294967280");
    EXPECT_EQ(lines[11], "2\tBoot Indicator\tNon-Bootable");  // an empty entry is listed too
    EXPECT_EQ(lines[15], "\tSystem Indicator\t0");
    EXPECT_EQ(lines[21], "3\tBoot Indicator\tBootable");
    EXPECT_EQ(lines[31], "4\tBoot Indicator\tNon-Bootable");
    EXPECT_EQ(platform.transfers.size(), 1u);  // one sector read, nothing more
    EXPECT_EQ(session.pane.viewMode, VM_NONE);
    EXPECT_EQ(screen.StatusText(kProgressPane), "");
    EXPECT_TRUE(printed.empty());
}

// Fields as stored, and no division by a zero geometry. The fields of sound
// FAT12, FAT16 and FAT32 boot records are the acceptance test's, against fsstat.
TEST_F(TablePresenterTest, BootRecordShowsThirteenRowsOfOddValuesWithoutFailing) {
    MemoryDisk& disk = DiskWithTable({Entry(0, 1, 1, 0, 0x06, 63, 3000)});
    Bytes boot(40, 0);
    const char oem[] = "AB\0DEFGH";
    std::copy(oem, oem + 8, boot.begin() + 3);
    boot[19] = 0x40;  // 16-bit total 2880; no heads or sectors per track
    boot[20] = 0x0B;
    boot[21] = 0x08;
    PokeBytes(disk, 63 * 512, boot);
    Start();
    EXPECT_EQ(BatchLines("expand Hard Disk 1\nselect Hard Disk 1/#1\nlist\n"),
              (std::vector<std::string>{
                  "# Field\tValue", "OEM Name\tAB", "Bytes Per Sector\t0", "Sectors Per Cluster\t0",
                  "Reserved Sectors\t0", "Number of FATs\t0", "Number of Root Directory Entries\t0",
                  "Media Descriptor Byte\t0x8", "Sectors Per FAT\t0", "Sectors Per Track\t0",
                  "Number of Heads\t0", "Number of Hidden Sectors\t0", "Total Tracks\t0",
                  "Total Sectors\t2880"}));
    EXPECT_TRUE(printed.empty());  // sectors per cluster 0: no children, no message
}

// Unreadable tables and boot records are the fault matrix's. Device paths
// open a floppy afresh for every boot record; one that cannot be opened
// ends the presenter without a message.
TEST_F(TablePresenterTest, FloppyThatCannotBeOpenedShowsNoBootRecordAndSaysNothing) {
    WalkHarness run;
    MemoryDisk& floppy = *run.platform.FindDisk(run.platform.AddFloppy(2880));
    run.Start();
    floppy.faults.failFirstOpens = 1;
    EXPECT_EQ(run.Batch("select Floppy Disk 1\nlist\n"), "# Field\tValue\n");
    EXPECT_TRUE(run.printed.empty());
    EXPECT_EQ(run.session.disk.driveHandles[0], kInvalidHandle);
    EXPECT_EQ(run.Batch("select -\nselect Floppy Disk 1\nlist 0 1\n"),
              "# Field\tValue\nOEM Name\t\n");
    EXPECT_EQ(run.platform.openedNames.back(), "\\\\.\\A:");
}

TEST_F(TablePresenterTest, DispatchResetsThePaneStateAndHonoursTheIgnoreFlag) {
    DiskWithTable({Entry(0x80, 1, 1, 0, 0x06, 63, 1000)});
    Start();
    session.pane.viewMode = VM_SECTOR_DUMP;
    session.pane.canGoNext = true;
    session.pane.currentIndex = 7;
    Batch("select Hard Disk 1\n");
    EXPECT_EQ(session.pane.viewMode, VM_NONE);
    EXPECT_FALSE(session.pane.canGoNext);
    EXPECT_EQ(session.pane.currentIndex, 0u);
    EXPECT_EQ(session.pane.currentItem.kind, IK_HARD_DISK);
    ASSERT_TRUE(session.pane.currentBuffer);
    EXPECT_EQ(session.pane.currentBuffer.size(), 512u);

    Batch("expand Hard Disk 1\n");
    {
        SelectionChangeGuard guard(session.ignoreSelectionChange);
        screen.SetStatusText(kProgressPane, "untouched");
        Batch("select Hard Disk 1/#1\n");
        EXPECT_EQ(session.pane.currentItem.kind, IK_HARD_DISK);
        EXPECT_EQ(screen.StatusText(kProgressPane), "untouched");
    }
    EXPECT_FALSE(session.ignoreSelectionChange);
    EXPECT_EQ(BatchLines("list\n").size(), 41u);
}

TEST_F(TablePresenterTest, NoMemoryForTheItemClearsThePane) {
    DiskWithTable({Entry(0x80, 1, 1, 0, 0x06, 63, 1000)});
    Start();
    Batch("select Hard Disk 1\nselect -\n");
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    EXPECT_EQ(Batch("select Hard Disk 1\nlist\n"), "# \n");
    EXPECT_EQ(printed, (std::vector<std::string>{
                           "message: Fatal Error!  Not able to allocate a buffer of memory!"}));
    EXPECT_FALSE(session.pane.currentBuffer);
}

}  // namespace
}  // namespace brovane

// The drives found at start-up in both access modes, and the item storage
// their records and the walks' records live in. The listing by real images
// is the disk_inventory acceptance test's; every failure the fault matrix's.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/disk_lifecycle.h"
#include "session_harness.h"
#include "support/memory_platform.h"
#include "tree/drive_inventory.h"
#include "tree/item_storage.h"

namespace brovane {
namespace {

using Texts = std::vector<std::string>;

class DriveInventoryTest : public ::testing::Test, public SessionHarness {
  protected:
    // Two floppies, two hard disks with a distinct extension value each.
    void AddFourDrives() {
        platform.AddFloppy(2880);
        platform.AddFloppy(2880);
        platform.FindDisk(platform.AddHardDisk(100000))->int13Extensions = 0x11;
        platform.FindDisk(platform.AddHardDisk(200000))->int13Extensions = 0x22;
    }
    // Each root record: drive, kind, CHS sector, sector count, extension value.
    std::string Records() {
        std::string text;
        for (TreeItemHandle item : screen.Children(kTreeRoot)) {
            const TreeItemInfo& r = *screen.GetTreeItemInfo(item);
            for (unsigned field :
                 {unsigned{r.driveNumber}, unsigned{r.kind}, unsigned{r.sector}, r.sectorCount,
                  r.cylinder + r.head + r.relativeSector + r.baseSector, r.int13Extensions,
                  unsigned{screen.HasButton(item)}}) {
                text += std::to_string(field) + " ";
            }
            text += "/ ";
        }
        return text;
    }
};

// Hard disks are opened at start-up, floppies only when first read; each
// refresh closes the hard disks' handles and starts the pool over.
TEST_F(DriveInventoryTest, DevicePathsListFloppiesThenHardDisksAndRefreshListsThemAgain) {
    AddFourDrives();
    InitDiskAccess(session);
    EXPECT_EQ(RootTexts(), (Texts{"Floppy Disk 1", "Floppy Disk 2", "Hard Disk 1", "Hard Disk 2"}));
    EXPECT_EQ(Records(), "0 1 1 1 0 0 1 / 1 1 1 1 0 0 1 / 128 0 1 1 0 0 1 / 129 0 1 1 0 0 1 / ");
    EXPECT_EQ(session.disk.diskAccessMode, DAM_DEVICE_PATHS);
    EXPECT_EQ(session.disk.lastHardDiskItem, screen.Children(kTreeRoot)[3]);
    EXPECT_EQ(platform.openedNames,
              (Texts{"\\\\.\\PHYSICALDRIVE0", "\\\\.\\PHYSICALDRIVE1", "\\\\.\\PHYSICALDRIVE2"}));
    TreeItemInfo* firstHardDisk = screen.GetTreeItemInfo(screen.Children(kTreeRoot)[2]);
    for (int refresh = 0; refresh < 3; ++refresh) {
        screen.DeleteAllTreeItems();
        EnumerateDisks(session.Io(), session.items);
    }
    EXPECT_EQ(RootTexts().size(), 4u);
    EXPECT_EQ(session.disk.hardDiskCount, 2u);
    EXPECT_EQ(screen.GetTreeItemInfo(screen.Children(kTreeRoot)[2]), firstHardDisk);
    EXPECT_EQ(session.disk.lastHardDiskItem, screen.Children(kTreeRoot)[3]);
    EXPECT_EQ(platform.counters.closes, 6u);
}

TEST_F(DriveInventoryTest, MoreThanTenDrivesAreAllListed) {
    for (int i = 0; i < 15; ++i) {
        i < 3 ? platform.AddFloppy(2880) : platform.AddHardDisk(100);
    }
    InitDiskAccess(session);
    ASSERT_EQ(RootTexts().size(), 15u);
    EXPECT_EQ(RootTexts().back(), "Hard Disk 12");
    for (std::size_t i = 0; i < 15; ++i) {  // records do not overlap
        EXPECT_EQ(screen.GetTreeItemInfo(screen.Children(kTreeRoot)[i])->driveNumber,
                  i < 3 ? i : 128 + (i - 3));
    }
    EXPECT_EQ(platform.openedNames[11], "\\\\.\\PHYSICALDRIVE11");
}

// The third probe finds no disk; no device path is used. Release unloads the
// library and frees every block.
TEST_F(DriveInventoryTest, DiskLibraryProbesEachDiskAndKeepsItsExtensionValue) {
    AddFourDrives();
    platform.settings.diskLibrary = true;
    platform.settings.virtualDeviceFloppyCount = 1;
    InitDiskAccess(session);
    EXPECT_EQ(session.disk.diskAccessMode, DAM_DISK_LIBRARY);
    EXPECT_EQ(Records(), "0 1 1 1 0 0 1 / 128 0 1 1 0 17 1 / 129 0 1 1 0 34 1 / ");
    ASSERT_EQ(platform.libraryCalls.size(), 3u);
    for (std::uint32_t n = 0; n < 3; ++n) {
        const DiskLibraryCall& p = platform.libraryCalls[n];
        EXPECT_EQ((std::vector{p.drive, p.cylinder, p.head, p.sector, p.count, p.absoluteSector,
                               p.int13Extensions}),
                  (std::vector<std::uint32_t>{128 + n, 0, 0, 1, 1, 0, 0}));
    }
    EXPECT_EQ(platform.extensionCheckDrives, (std::vector<std::uint32_t>{128, 129}));
    EXPECT_EQ(platform.counters.virtualDeviceCloses, 1u);
    EXPECT_TRUE(platform.openedNames.empty());
    session.pane.currentBuffer = PlatformBlock::Allocate(platform, 512);
    ReleaseDiskAccess(session);
    EXPECT_EQ(platform.LiveBlocks(), 0u);
    EXPECT_EQ(platform.counters.libraryFrees, 1u);
    EXPECT_EQ(platform.counters.badFrees, 0u);
}

// More names than 2 MiB hold: the pool grows and no record moves. A name is
// stored behind its record; a reset reuses the places cleared to zero.
TEST(ItemStorage, RecordsKeepTheirPlaceNameAndContentsAndResetClearsThem) {
    MemoryPlatform platform;
    ItemStorage storage{platform};
    ASSERT_TRUE(storage.rootPool.Allocate() && storage.itemPool.Allocate());
    TreeItemInfo* root = AppendRootRecord(storage);
    root->int13Extensions = 0x1234;
    // Names of every length modulo the alignment, each followed by a record
    // whose first field is not zero, so a missing terminator shows.
    auto name = [](std::uint32_t i) { return std::to_string(i) + std::string(200 + i % 8, 'n'); };
    std::vector<TreeItemInfo*> records;
    for (std::uint32_t i = 0; i < 10000; ++i) {
        records.push_back(AppendNamedItemRecord(storage, name(i)));
        ASSERT_NE(records.back(), nullptr) << i;
        records.back()->firstCluster = i;
        records.back()->driveNumber = 0xFFFF;
    }
    EXPECT_GT(storage.itemPool.UsedBytes(), kItemPoolBytes);
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i]->firstCluster, i);
        ASSERT_STREQ(records[i]->nameText, name(i).c_str());
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(records[i]) % alignof(TreeItemInfo), 0u);
    }
    EXPECT_EQ(static_cast<const void*>(records[0]->nameText),
              static_cast<const void*>(records[0] + 1));
    ResetItemPools(storage);
    TreeItemInfo* again = AppendItemRecord(storage);
    EXPECT_EQ(again, records[0]);
    TreeItemInfo zero{};
    EXPECT_EQ(std::memcmp(again, &zero, sizeof zero), 0);
    EXPECT_EQ(AppendRootRecord(storage), root);
    EXPECT_EQ(root->int13Extensions, 0u);
}

// The root pool's first block holds ten records; the eleventh needs a block
// that cannot be had, and the next try may grow.
TEST(ItemStorage, NoMemoryMeansNoRecordNeverAnOverrun) {
    MemoryPlatform platform;
    ItemStorage storage{platform};
    EXPECT_EQ(AppendItemRecord(storage), nullptr);  // not allocated yet
    ASSERT_TRUE(storage.rootPool.Allocate());
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(AppendRootRecord(storage), nullptr);
    }
    EXPECT_EQ(AppendRootRecord(storage), nullptr);
    EXPECT_NE(AppendRootRecord(storage), nullptr);
    storage.rootPool.Release();
    EXPECT_EQ(platform.LiveBlocks(), 0u);
}

}  // namespace
}  // namespace brovane

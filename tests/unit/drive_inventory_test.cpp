// The drives found at start-up in both access modes, every set-up failure,
// and the item storage their records and the walks' records live in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/command_state.h"
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
    TreeItemInfo* RootRecord(std::size_t index) {
        return screen.GetTreeItemInfo(screen.Children(kTreeRoot).at(index));
    }
};

TEST_F(DriveInventoryTest, DevicePathsListFloppiesThenHardDisksWithTheirRecords) {
    AddFourDrives();
    InitDiskAccess(session);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(RootTexts(), (Texts{"Floppy Disk 1", "Floppy Disk 2", "Hard Disk 1", "Hard Disk 2"}));
    EXPECT_EQ(session.disk.diskAccessMode, DAM_DEVICE_PATHS);
    EXPECT_TRUE(session.disk.diskAccessReady);
    EXPECT_EQ(session.disk.floppyCount, 2u);
    EXPECT_EQ(session.disk.hardDiskCount, 2u);
    EXPECT_EQ(session.disk.lastHardDiskItem, screen.Children(kTreeRoot)[3]);
    EXPECT_EQ(screen.StatusText(kProgressPane), "");

    const std::uint16_t drives[] = {0, 1, 128, 129};
    for (std::size_t i = 0; i < 4; ++i) {
        const TreeItemInfo& record = *RootRecord(i);
        EXPECT_EQ(record.driveNumber, drives[i]);
        EXPECT_EQ(record.kind, i < 2 ? IK_VOLUME : IK_HARD_DISK);
        EXPECT_EQ(record.sector, 1);
        EXPECT_EQ(record.sectorCount, 1u);
        EXPECT_EQ(record.cylinder + record.head + record.relativeSector + record.baseSector, 0u);
        EXPECT_EQ(record.int13Extensions, 0u);  // device paths never ask the library
        EXPECT_TRUE(screen.HasButton(screen.Children(kTreeRoot)[i]));
    }
    // Hard disks are opened at start-up; floppies only when first read.
    EXPECT_EQ(platform.openedNames,
              (Texts{"\\\\.\\PHYSICALDRIVE0", "\\\\.\\PHYSICALDRIVE1", "\\\\.\\PHYSICALDRIVE2"}));
}

TEST_F(DriveInventoryTest, RefreshListsTheSameDisksAgainAndKeepsTheCount) {
    AddFourDrives();
    InitDiskAccess(session);
    TreeItemInfo* firstHardDisk = RootRecord(2);
    for (int refresh = 0; refresh < 3; ++refresh) {
        screen.DeleteAllTreeItems();
        EnumerateDisks(session.Io(), session.items);
    }
    EXPECT_EQ(RootTexts(), (Texts{"Floppy Disk 1", "Floppy Disk 2", "Hard Disk 1", "Hard Disk 2"}));
    EXPECT_EQ(session.disk.hardDiskCount, 2u);
    EXPECT_EQ(RootRecord(2), firstHardDisk);  // the pool starts over at the same place
    EXPECT_EQ(session.disk.lastHardDiskItem, screen.Children(kTreeRoot)[3]);
    // Each refresh closed the hard disks' handles before opening them again.
    EXPECT_EQ(platform.counters.closes, 6u);
}

// A disk-library probe that fails is the fault matrix's.
TEST_F(DriveInventoryTest, TheFirstHardDiskThatCannotBeOpenedEndsTheList) {
    platform.AddHardDisk(1000);
    platform.FindDisk(platform.AddHardDisk(1000))->faults.failEveryOpen = true;
    platform.AddHardDisk(1000);
    InitDiskAccess(session);
    EXPECT_EQ(RootTexts(), (Texts{"Hard Disk 1"}));
    EXPECT_EQ(session.disk.driveHandles[129], kInvalidHandle);
    EXPECT_TRUE(printed.empty());
}

TEST_F(DriveInventoryTest, MoreThanTenDrivesAreAllListed) {
    for (int i = 0; i < 3; ++i) {
        platform.AddFloppy(2880);
    }
    for (int i = 0; i < 12; ++i) {
        platform.AddHardDisk(100);
    }
    InitDiskAccess(session);
    Texts texts = RootTexts();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts.back(), "Hard Disk 12");
    EXPECT_EQ(RootRecord(14)->driveNumber, 128 + 11);
    EXPECT_EQ(platform.openedNames[11], "\\\\.\\PHYSICALDRIVE11");
    for (std::size_t i = 0; i < 15; ++i) {  // records do not overlap
        EXPECT_EQ(RootRecord(i)->driveNumber, i < 3 ? i : 128 + (i - 3));
    }
}

TEST_F(DriveInventoryTest, DiskLibraryProbesEachDiskAndKeepsItsExtensionValue) {
    AddFourDrives();
    platform.settings.diskLibrary = true;
    platform.settings.virtualDeviceFloppyCount = 1;
    InitDiskAccess(session);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(session.disk.diskAccessMode, DAM_DISK_LIBRARY);
    EXPECT_EQ(RootTexts(), (Texts{"Floppy Disk 1", "Hard Disk 1", "Hard Disk 2"}));
    EXPECT_EQ(RootRecord(1)->int13Extensions, 0x11u);
    EXPECT_EQ(RootRecord(2)->int13Extensions, 0x22u);
    EXPECT_EQ(RootRecord(0)->int13Extensions, 0u);
    ASSERT_EQ(platform.libraryCalls.size(), 3u);  // the third probe finds no disk
    for (std::size_t n = 0; n < 3; ++n) {
        const DiskLibraryCall& probe = platform.libraryCalls[n];
        EXPECT_EQ(probe.drive, 128 + n);
        EXPECT_EQ(probe.cylinder + probe.head, 0u);
        EXPECT_EQ(probe.sector, 1u);
        EXPECT_EQ(probe.count, 1u);
        EXPECT_EQ(probe.absoluteSector + probe.int13Extensions, 0u);
    }
    EXPECT_EQ(platform.extensionCheckDrives, (std::vector<std::uint32_t>{128, 129}));
    EXPECT_EQ(platform.counters.virtualDeviceCloses, 1u);
    EXPECT_TRUE(platform.openedNames.empty());  // no device path is used
}

// A missing virtual device, which still lists the hard disks, is the
// disk-inventory acceptance test's.
struct SetUpFailure {
    const char* message;
    void (*breakIt)(MemoryPlatformSettings&);
};

TEST_F(DriveInventoryTest, EachSetUpFailureShowsItsMessageAndListsNothing) {
    const SetUpFailure failures[] = {
        {"Disk32.DLL not found", [](MemoryPlatformSettings& s) { s.libraryMissing = true; }},
        {"ReadDisk32 Function not accessible!",
         [](MemoryPlatformSettings& s) { s.missingFunctions = {"ReadDisk32"}; }},
        {"WriteDisk32 Function not accessible!",
         [](MemoryPlatformSettings& s) { s.missingFunctions = {"WriteDisk32"}; }},
        {"DllCheckInt13Extension Function not accessible!",
         [](MemoryPlatformSettings& s) { s.missingFunctions = {"CheckInt13Extension32"}; }},
        {"Drive Packet memory not enough",
         [](MemoryPlatformSettings& s) { s.failingAllocation = 1; }},
        {"Packets memory not enough", [](MemoryPlatformSettings& s) { s.failingAllocation = 2; }},
    };
    for (const SetUpFailure& failure : failures) {
        SessionHarness run;
        run.platform.AddFloppy(2880);
        run.platform.AddHardDisk(1000);
        run.platform.settings.diskLibrary = true;
        failure.breakIt(run.platform.settings);
        InitDiskAccess(run.session);
        EXPECT_EQ(run.printed, (Texts{std::string("message: ") + failure.message}));
        EXPECT_TRUE(run.RootTexts().empty()) << failure.message;
        EXPECT_FALSE(run.session.disk.diskAccessReady) << failure.message;
        EXPECT_FALSE(
            BuildCommandState(run.session.disk, run.session.pane, run.screen, {}).diskAccessReady);
    }
}

TEST_F(DriveInventoryTest, ItemPoolFailureFreesTheRootPool) {
    platform.settings.failingAllocation = 2;
    InitDiskAccess(session);
    EXPECT_FALSE(session.items.rootPool.IsAllocated());
    EXPECT_EQ(platform.LiveBlocks(), 0u);
}

// Closing every device handle is the GUI's closing test's.
TEST_F(DriveInventoryTest, ReleaseUnloadsTheLibraryAndFreesEveryBlock) {
    AddFourDrives();
    platform.settings.diskLibrary = true;
    InitDiskAccess(session);
    session.pane.currentBuffer = PlatformBlock::Allocate(platform, 512);
    ReleaseDiskAccess(session);
    EXPECT_EQ(platform.LiveBlocks(), 0u);
    EXPECT_EQ(platform.counters.libraryFrees, 1u);
    EXPECT_EQ(platform.counters.badFrees, 0u);
}

class ItemStorageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(storage.rootPool.Allocate());
        ASSERT_TRUE(storage.itemPool.Allocate());
    }
    MemoryPlatform platform;
    ItemStorage storage{platform};
};

TEST_F(ItemStorageTest, RecordsKeepTheirPlaceAndContentsWhileThePoolGrows) {
    // More names than 2 MiB hold: the pool grows and no record moves.
    std::vector<TreeItemInfo*> records;
    const std::string name(200, 'n');
    for (std::uint32_t i = 0; i < 20000; ++i) {
        TreeItemInfo* record = AppendNamedItemRecord(storage, name + std::to_string(i));
        ASSERT_NE(record, nullptr) << i;
        record->firstCluster = i;
        records.push_back(record);
    }
    EXPECT_GT(storage.itemPool.UsedBytes(), kItemPoolBytes);
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i]->firstCluster, i);
        ASSERT_STREQ(records[i]->nameText, (name + std::to_string(i)).c_str());
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(records[i]) % alignof(TreeItemInfo), 0u);
    }
}

TEST_F(ItemStorageTest, NameIsStoredBehindItsRecord) {
    std::string longest(255, 'L');
    std::size_t before = storage.itemPool.UsedBytes();
    TreeItemInfo* record = AppendNamedItemRecord(storage, longest);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(static_cast<const void*>(record->nameText), static_cast<const void*>(record + 1));
    EXPECT_EQ(std::strlen(record->nameText), 255u);
    std::size_t used = storage.itemPool.UsedBytes() - before;
    EXPECT_GE(used, sizeof(TreeItemInfo) + 256);
    EXPECT_LT(used, sizeof(TreeItemInfo) + 256 + alignof(TreeItemInfo));
    TreeItemInfo* next = AppendItemRecord(storage);
    EXPECT_GE(reinterpret_cast<const char*>(next), record->nameText + 256);
    EXPECT_EQ(next->nameText, nullptr);
}

TEST_F(ItemStorageTest, ResetReusesPlacesClearedToZero) {
    TreeItemInfo* first = AppendNamedItemRecord(storage, "OLDNAME.TXT");
    std::memset(static_cast<void*>(first), 0xAB, sizeof(TreeItemInfo));
    TreeItemInfo* root = AppendRootRecord(storage);
    root->int13Extensions = 0x1234;
    ResetItemPools(storage);
    TreeItemInfo* again = AppendItemRecord(storage);
    EXPECT_EQ(again, first);
    TreeItemInfo zero{};
    EXPECT_EQ(std::memcmp(again, &zero, sizeof zero), 0);
    EXPECT_EQ(AppendRootRecord(storage), root);
    EXPECT_EQ(root->int13Extensions, 0u);
}

TEST(ItemStorageFailures, NoMemoryMeansNoRecordNeverAnOverrun) {
    MemoryPlatform platform;
    ItemStorage storage{platform};
    EXPECT_EQ(AppendItemRecord(storage), nullptr);  // not allocated yet
    platform.settings.failingAllocation = 1;
    EXPECT_FALSE(storage.rootPool.Allocate());
    ASSERT_TRUE(storage.rootPool.Allocate());
    // The root pool's first block holds ten records; the eleventh needs a
    // block that cannot be had.
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(AppendRootRecord(storage), nullptr);
    }
    EXPECT_EQ(AppendRootRecord(storage), nullptr);
    EXPECT_NE(AppendRootRecord(storage), nullptr);  // the next try may grow
    storage.rootPool.Release();
    EXPECT_EQ(platform.LiveBlocks(), 0u);
}

}  // namespace
}  // namespace brovane

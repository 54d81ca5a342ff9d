#include "tree/partition_walk.h"

#include <gtest/gtest.h>

#include "walk_harness.h"

namespace brovane {
namespace {

using imagebuilder::Disk;
using imagebuilder::FatKind;
using imagebuilder::LogicalPartition;

constexpr std::uint64_t kMiB = 1 << 20;

// A disk of three primaries (entry 2 empty) and an extended chain of three
// logical drives; the first logical is NTFS.
Disk ChainDisk() {
    Disk disk;
    disk.sizeBytes = 64 * kMiB;
    disk.primaries[0] = Primary(0x06, 2048, 20000, 0x80);
    disk.primaries[2] = Primary(0x0C, 22048, 40000);
    disk.primaries[3] = Primary(0x05, 62048, 60000);
    std::uint32_t start = 62048;
    for (std::uint8_t type : {std::uint8_t{0x07}, std::uint8_t{0x01}, std::uint8_t{0x06}}) {
        LogicalPartition logical;
        logical.entry = Primary(type, start + 63, 19000);
        logical.tableSector = start;
        disk.logicals.push_back(logical);
        start += 20000;
    }
    disk.volumes.push_back(Volume(FatKind::Fat16, 2048, 20000));
    disk.volumes.push_back(Volume(FatKind::Fat32, 22048, 40000));
    disk.volumes.push_back(Volume(FatKind::Fat12, 82048 + 63, 19000));
    disk.volumes.push_back(Volume(FatKind::Fat16, 102048 + 63, 19000));
    return disk;
}

class PartitionWalkTest : public ::testing::Test, public WalkHarness {};

TEST_F(PartitionWalkTest, MasterBootRecordEntriesInTableOrderWithTheirRecords) {
    PlaceBuiltDisk(platform, ChainDisk());
    Start();
    EXPECT_EQ(Batch("expand Hard Disk 1\ntree\n"),
              "- Hard Disk 1\n"
              "  + 16-Bit FAT Disk\n"
              "  + 32-Bit FAT Disk\n"
              "  + Extended DOS Partition\n");
    const TreeItemInfo& fat16 = Record("Hard Disk 1/16-Bit FAT Disk");
    EXPECT_EQ(fat16.kind, IK_VOLUME);
    EXPECT_EQ(fat16.baseSector, 2048u);
    EXPECT_EQ(fat16.fatType, FT_NONE);
    EXPECT_EQ(fat16.sectorCount, 1u);
    EXPECT_EQ(fat16.driveNumber, 0x80);
    // CHS start of sector 2048 in 255 × 63: cylinder 0, head 32, sector 33.
    EXPECT_EQ(fat16.cylinder, 0);
    EXPECT_EQ(fat16.head, 32);
    EXPECT_EQ(fat16.sector, 33);
    EXPECT_EQ(Record("Hard Disk 1/32-Bit FAT Disk").fatType, FT_FAT32);
    EXPECT_EQ(Record("Hard Disk 1/Extended DOS Partition").kind, IK_EXTENDED);
    EXPECT_EQ(Record("Hard Disk 1/Extended DOS Partition").baseSector, 62048u);
    EXPECT_TRUE(printed.empty());
}

TEST_F(PartitionWalkTest, ExtendedChainCountsLogicalsFromTheirTableAndLinksFromTheFirst) {
    PlaceBuiltDisk(platform, ChainDisk());
    PlaceBuiltDisk(platform, ChainDisk());
    Start();
    // Interleave the second disk's walk: each disk keeps its own extended base.
    std::string script =
        "expand Hard Disk 1\nexpand Hard Disk 2\n"
        "expand Hard Disk 1/#3\nexpand Hard Disk 2/#3\nexpand Hard Disk 2/#3/#2\n"
        "expand Hard Disk 1/#3/#2\nexpand Hard Disk 1/#3/#2/#2\n";
    Batch(script);
    EXPECT_EQ(Batch("tree\n"),
              "- Hard Disk 1\n"
              "  + 16-Bit FAT Disk\n"
              "  + 32-Bit FAT Disk\n"
              "  - Extended DOS Partition\n"
              "    + Unknown\n"
              "    - Extended DOS Partition\n"
              "      + 12-Bit FAT Disk\n"
              "      - Extended DOS Partition\n"
              "        + 16-Bit FAT Disk\n"
              "- Hard Disk 2\n"
              "  + 16-Bit FAT Disk\n"
              "  + 32-Bit FAT Disk\n"
              "  - Extended DOS Partition\n"
              "    + Unknown\n"
              "    - Extended DOS Partition\n"
              "      + 12-Bit FAT Disk\n"
              "      + Extended DOS Partition\n");
    const std::string chain = "Hard Disk 1/#3";
    EXPECT_EQ(Record(chain + "/Unknown").kind, IK_VOLUME);  // NTFS in a table expands as a volume
    EXPECT_EQ(Record(chain + "/Unknown").baseSector, 62048u + 63);
    EXPECT_EQ(Record(chain + "/#2").baseSector, 82048u);  // link: first extended + its value
    EXPECT_EQ(Record(chain + "/#2/#1").baseSector, 82048u + 63);  // logical: its table + its value
    EXPECT_EQ(Record(chain + "/#2/#2").baseSector, 102048u);
    EXPECT_EQ(Record(chain + "/#2/#2/#1").baseSector, 102048u + 63);
    EXPECT_EQ(Record("Hard Disk 2/#3/#2/#1").baseSector, 82048u + 63);
}

TEST_F(PartitionWalkTest, NtfsInTheMasterBootRecordIsUnknownWithoutChildren) {
    Disk disk;
    disk.sizeBytes = 8 * kMiB;
    disk.primaries[0] = Primary(0x07, 2048, 4000);
    PlaceBuiltDisk(platform, disk);
    Start();
    EXPECT_EQ(Batch("expand Hard Disk 1\nexpand Hard Disk 1/Unknown\ntree\n"),
              "- Hard Disk 1\n  . Unknown\n");
    const TreeItemInfo& unknown = Record("Hard Disk 1/Unknown");
    EXPECT_EQ(unknown.kind, IK_UNKNOWN);
    EXPECT_EQ(unknown.relativeSector, 1u);
    EXPECT_EQ(unknown.heads + unknown.sectorsPerTrack + unknown.volumeSectors, 0u);
}

TEST_F(PartitionWalkTest, FatTypeFollowsTheClusterEstimateAroundFourThousandNinetySix) {
    struct Case {
        std::uint8_t partitionType;
        std::uint32_t totalSectors;  // one sector a cluster
        std::uint16_t expected;
    };
    const Case cases[] = {
        {0x06, 4095, FT_FAT12}, {0x06, 4096, FT_FAT16}, {0x01, 8000, FT_FAT16},
        {0x0C, 4000, FT_FAT32}, {0x04, 100, FT_FAT12},
    };
    for (const Case& c : cases) {
        WalkHarness run;
        Disk disk;
        disk.sizeBytes = 16 * kMiB;
        disk.primaries[0] = Primary(c.partitionType, 2048, 8000);
        // A sound FAT16 volume whose boot record then claims the case's total.
        imagebuilder::FatVolume volume = Volume(FatKind::Fat16, 2048, 8000);
        volume.sectorsPerCluster = 1;
        volume.bootOverrides.push_back({"total_sectors_16", c.totalSectors});
        volume.bootOverrides.push_back({"sectors_per_fat_32", 40});
        disk.volumes.push_back(volume);
        PlaceBuiltDisk(run.platform, disk);
        run.Start();
        run.Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
        const TreeItemInfo& fat = run.Record("Hard Disk 1/#1/FAT 1");
        EXPECT_EQ(fat.kind, c.expected) << c.totalSectors;
        EXPECT_EQ(fat.fatType, c.expected) << c.totalSectors;
    }
}

TEST_F(PartitionWalkTest, FatItemsAndRootDirectoryLieWhereTheBootRecordSays) {
    Disk disk;
    disk.sizeBytes = 96 * kMiB;
    disk.primaries[0] = Primary(0x06, 2048, 100000);
    disk.primaries[1] = Primary(0x0C, 102048, 70000);
    imagebuilder::FatVolume fat16 = Volume(FatKind::Fat16, 2048, 100000);
    fat16.reservedSectors = 4;
    fat16.sectorsPerFat = 200;
    fat16.rootEntryCount = 512;
    imagebuilder::FatVolume fat32 = Volume(FatKind::Fat32, 102048, 70000);
    fat32.sectorsPerCluster = 1;
    fat32.rootClusters = {5, 6};
    disk.volumes = {fat16, fat32};
    PlaceBuiltDisk(platform, disk);
    Start();
    EXPECT_EQ(Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#2\ntree\n"),
              "- Hard Disk 1\n"
              "  - 16-Bit FAT Disk\n"
              "    . FAT 1\n"
              "    . FAT 2\n"
              "    + Root Directory\n"
              "  - 32-Bit FAT Disk\n"
              "    . FAT 1\n"
              "    . FAT 2\n"
              "    + Root Directory\n");
    const TreeItemInfo& fat2 = Record("Hard Disk 1/#1/FAT 2");
    EXPECT_EQ(Record("Hard Disk 1/#1/FAT 1").relativeSector, 4u);
    EXPECT_EQ(fat2.relativeSector, 204u);
    EXPECT_EQ(fat2.sectorCount, 200u);
    EXPECT_EQ(fat2.baseSector, 2048u);
    EXPECT_EQ(fat2.sectorsPerCluster, 4u);
    EXPECT_EQ(fat2.heads, 255u);
    EXPECT_EQ(fat2.sectorsPerTrack, 63u);
    EXPECT_EQ(fat2.volumeSectors, 100000u);
    EXPECT_EQ(fat2.reservedSectors + fat2.sectorsPerFat, 0u);  // a FAT item does not carry them
    const TreeItemInfo& root = Record("Hard Disk 1/#1/Root Directory");
    EXPECT_EQ(root.kind, IK_ROOT_DIR);
    EXPECT_EQ(root.relativeSector, 404u);
    EXPECT_EQ(root.sectorCount, 32u);
    EXPECT_EQ(root.firstDataSector, 436u);
    EXPECT_EQ(root.reservedSectors, 4u);
    EXPECT_EQ(root.sectorsPerFat, 200u);
    const TreeItemInfo& root32 = Record("Hard Disk 1/#2/Root Directory");
    EXPECT_EQ(root32.kind, IK_DIR_ENTRY);
    EXPECT_EQ(root32.sectorCount, 0u);
    EXPECT_EQ(root32.attributes, 0x10);
    EXPECT_EQ(root32.firstCluster, 5u);
    EXPECT_EQ(root32.fatType, FT_FAT32);
    EXPECT_EQ(root32.firstDataSector, root32.relativeSector);
    EXPECT_EQ(root32.relativeSector, 32u + 2 * root32.sectorsPerFat);
}

TEST_F(PartitionWalkTest, EachUnreadableSectorShowsItsMessageAndTheItemKeepsWhatItHad) {
    MemoryDisk& disk = *platform.FindDisk(PlaceBuiltDisk(platform, ChainDisk()));
    Start();
    disk.faults.read.badSectors = {62048, 2048};
    Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#3\n");
    EXPECT_EQ(printed, (std::vector<std::string>{"message: Boot Record not accessible!",
                                                 "message: Extended partition not accessible!"}));
    EXPECT_EQ(
        Batch("tree\n"),
        "- Hard Disk 1\n  . 16-Bit FAT Disk\n  + 32-Bit FAT Disk\n  . Extended DOS Partition\n");
    EXPECT_EQ(screen.StatusText(kProgressPane), "");

    WalkHarness unreadable;
    unreadable.platform.FindDisk(PlaceBuiltDisk(unreadable.platform, ChainDisk()))
        ->faults.read.badSectors = {0};
    unreadable.Start();
    unreadable.Batch("expand Hard Disk 1\n");
    EXPECT_EQ(unreadable.printed,
              (std::vector<std::string>{"message: Partition table not accessible!"}));
}

TEST_F(PartitionWalkTest, NoBufferForTheSectorIsAFatalErrorMessage) {
    PlaceBuiltDisk(platform, ChainDisk());
    Start();
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    Batch("expand Hard Disk 1\n");
    EXPECT_EQ(printed,
              (std::vector<std::string>{"message: Fatal Error!  Not able to allocate a Buffer!"}));
    EXPECT_EQ(platform.LiveBlocks(), 2u);  // the two pools, no buffer left behind
}

TEST_F(PartitionWalkTest, FloppyIsOpenedAfreshAndRefusesWhileItCannotBe) {
    Disk floppy;
    floppy.sizeBytes = 2880 * 512;
    floppy.heads = 2;
    floppy.sectorsPerTrack = 18;
    imagebuilder::FatVolume volume = Volume(FatKind::Fat12, 0, 2880);
    volume.sectorsPerCluster = 1;
    volume.rootEntryCount = 224;
    volume.media = 0xF0;
    volume.sectorsPerTrack = 18;
    volume.heads = 2;
    floppy.volumes.push_back(volume);
    MemoryDisk& disk = *platform.FindDisk(PlaceBuiltDisk(platform, floppy, true));
    Start();
    disk.faults.failFirstOpens = 1;
    EXPECT_EQ(Batch("expand Floppy Disk 1\ntree\n"), "+ Floppy Disk 1\n");
    EXPECT_EQ(printed, (std::vector<std::string>{"message: Drive not accessible!"}));
    EXPECT_EQ(Batch("expand Floppy Disk 1\ntree\n"),
              "- Floppy Disk 1\n  . FAT 1\n  . FAT 2\n  + Root Directory\n");
    EXPECT_EQ(Record("Floppy Disk 1/FAT 1").kind, IK_FAT12);
    EXPECT_EQ(Record("Floppy Disk 1/Root Directory").sectorCount, 14u);
}

TEST_F(PartitionWalkTest, AnExpansionReadsOneSectorAndASecondReadsNothing) {
    PlaceBuiltDisk(platform, ChainDisk());
    Start();
    platform.transfers.clear();
    Batch("expand Hard Disk 1\n");
    ASSERT_EQ(platform.transfers.size(), 1u);
    EXPECT_EQ(platform.transfers[0].bytes, 512u);
    Batch("collapse Hard Disk 1\nexpand Hard Disk 1\n");
    EXPECT_EQ(platform.transfers.size(), 1u);
    EXPECT_EQ(screen.Children(Item("Hard Disk 1")).size(), 3u);
}

TEST_F(PartitionWalkTest, EmptyOrNonFatSectorsGiveNoChildrenAndNoMessage) {
    Disk disk;
    disk.sizeBytes = 8 * kMiB;
    disk.primaries[0] = Primary(0x06, 2048, 4000);  // no volume written: a boot record of zeros
    PlaceBuiltDisk(platform, disk);
    platform.AddHardDisk(1000);  // a master boot record of zeros
    Start();
    EXPECT_EQ(Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 2\ntree\n"),
              "- Hard Disk 1\n  . 16-Bit FAT Disk\n. Hard Disk 2\n");
    EXPECT_TRUE(printed.empty());
}

TEST_F(PartitionWalkTest, ARepeatingChainGoesOnAsLongAsTheUserExpands) {
    Disk disk;
    disk.sizeBytes = 8 * kMiB;
    disk.primaries[0] = Primary(0x05, 2048, 8000);
    // The extended table links to itself.
    disk.pokes.push_back({2048 * 512 + 446 + 4, {0x05}});
    disk.pokes.push_back({2048 * 512 + 510, {0x55, 0xAA}});
    PlaceBuiltDisk(platform, disk);
    Start();
    std::string path = "Hard Disk 1/#1";
    Batch("expand Hard Disk 1\n");
    for (int depth = 0; depth < 300; ++depth) {
        Batch("expand " + path + "\n");
        path += "/#1";
    }
    EXPECT_EQ(Record(path).kind, IK_EXTENDED);
    EXPECT_EQ(Record(path).baseSector, 2048u);
}

// In the extended table at 2048, a logical drive and a link 0xFFFFF800
// sectors on lie at 2^32: counted in 32 bits they would be sector 0, the
// master boot record. They lie past the disk instead, and say so.
TEST_F(PartitionWalkTest, ExtendedEntriesPastThirtyTwoBitsAreNotReadAtAWrappedAddress) {
    Disk disk;
    disk.sizeBytes = 16 * kMiB;
    disk.primaries[0] = Primary(0x05, 2048, 8000);
    const std::uint64_t table = 2048 * 512 + 446;
    const std::vector<std::uint8_t> pastTheEnd{0x00, 0xF8, 0xFF, 0xFF};
    disk.pokes.push_back({table + 4, {0x06}});  // a logical drive
    disk.pokes.push_back({table + 8, pastTheEnd});
    disk.pokes.push_back({table + 16 + 4, {0x05}});  // the link to the next table
    disk.pokes.push_back({table + 16 + 8, pastTheEnd});
    disk.pokes.push_back({table + 32 + 4, {0x01}});  // a logical drive at 2048 + 100
    disk.pokes.push_back({table + 32 + 8, {100}});
    PlaceBuiltDisk(platform, disk);
    Start();
    Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
    EXPECT_EQ(Record("Hard Disk 1/#1/#1").baseSector, 0xFFFFFFFFu);
    EXPECT_EQ(Record("Hard Disk 1/#1/#2").baseSector, 0xFFFFFFFFu);
    EXPECT_EQ(Record("Hard Disk 1/#1/#3").baseSector, 2148u);
    Batch("expand Hard Disk 1/#1/#1\nexpand Hard Disk 1/#1/#2\n");
    EXPECT_EQ(printed, (std::vector<std::string>{"message: Boot Record not accessible!",
                                                 "message: Extended partition not accessible!"}));
}

TEST_F(PartitionWalkTest, BothAccessModesBuildTheSameTree) {
    const std::string script =
        "expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#2\nexpand Hard Disk 1/#3\n"
        "expand Hard Disk 1/#3/#1\nexpand Hard Disk 1/#3/#2\nexpand Hard Disk 1/#3/#2/#1\ntree\n";
    WalkHarness library;
    PlaceBuiltDisk(library.platform, ChainDisk());
    library.Start(true);
    PlaceBuiltDisk(platform, ChainDisk());
    Start();
    std::string viaPaths = Batch(script);
    EXPECT_EQ(library.Batch(script), viaPaths);
    EXPECT_NE(viaPaths.find("      . FAT 1"), std::string::npos) << viaPaths;
    EXPECT_EQ(library.printed, printed);
}

}  // namespace
}  // namespace brovane

namespace brovane {
namespace {

TEST(HugeBootRecordFields, ItemsBeyondThirtyTwoBitsAreNeverReadAtAWrappedAddress) {
    WalkHarness run;
    imagebuilder::Disk disk;
    disk.sizeBytes = 48 << 20;
    disk.primaries[0] = Primary(0x0C, 2048, 70000);
    imagebuilder::FatVolume volume = Volume(imagebuilder::FatKind::Fat32, 2048, 70000);
    // Two FATs of 0x80000010 sectors: the root lies past 32 bits.
    volume.bootOverrides = {{"sectors_per_fat_32", 0x80000010u}};
    disk.volumes.push_back(volume);
    PlaceBuiltDisk(run.platform, disk);
    run.Start();
    run.Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
    EXPECT_EQ(run.Record("Hard Disk 1/#1/FAT 2").relativeSector, 32u + 0x80000010u);
    EXPECT_EQ(run.Record("Hard Disk 1/#1/Root Directory").relativeSector, 0xFFFFFFFFu);
    unsigned reads = run.platform.counters.reads;
    run.Batch("select Hard Disk 1/#1/FAT 2\n");
    EXPECT_EQ(run.printed.back(),
              "message: Fatal Error!  Not able to allocate a buffer of memory!");
    EXPECT_EQ(run.platform.counters.reads, reads);
}

}  // namespace
}  // namespace brovane

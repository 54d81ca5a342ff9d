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
// logical drives from the extended start; the first logical is NTFS.
Disk ChainDisk(std::uint32_t extended = 62048) {
    Disk disk;
    disk.sizeBytes = 96 * kMiB;
    disk.primaries[0] = Primary(0x06, 2048, 20000, 0x80);
    disk.primaries[2] = Primary(0x0C, 22048, 40000);
    disk.primaries[3] = Primary(0x05, extended, 60000);
    std::uint32_t start = extended;
    for (std::uint8_t type : {std::uint8_t{0x07}, std::uint8_t{0x01}, std::uint8_t{0x06}}) {
        LogicalPartition logical;
        logical.entry = Primary(type, start + 63, 19000);
        logical.tableSector = start;
        disk.logicals.push_back(logical);
        start += 20000;
    }
    disk.volumes.push_back(Volume(FatKind::Fat16, 2048, 20000));
    disk.volumes.push_back(Volume(FatKind::Fat32, 22048, 40000));
    disk.volumes.push_back(Volume(FatKind::Fat12, extended + 20000 + 63, 19000));
    disk.volumes.push_back(Volume(FatKind::Fat16, extended + 40000 + 63, 19000));
    return disk;
}

class PartitionWalkTest : public ::testing::Test, public WalkHarness {};

// Entries in table order; a logical counts from its table, a link from the
// first extended partition.
TEST_F(PartitionWalkTest, TablesListTheirEntriesInOrderAndEachDiskKeepsItsExtendedBase) {
    PlaceBuiltDisk(platform, ChainDisk());
    PlaceBuiltDisk(platform, ChainDisk(72048));
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
    const TreeItemInfo& fat16 = Record("Hard Disk 1/16-Bit FAT Disk");
    // CHS start of sector 2048 in 255 × 63: cylinder 0, head 32, sector 33.
    EXPECT_EQ(std::tuple(fat16.kind, fat16.baseSector, fat16.fatType, fat16.sectorCount,
                         fat16.driveNumber, fat16.cylinder, fat16.head, fat16.sector),
              std::tuple(IK_VOLUME, 2048u, FT_NONE, 1u, 0x80, 0, 32, 33));
    EXPECT_EQ(Record("Hard Disk 1/32-Bit FAT Disk").fatType, FT_FAT32);
    EXPECT_EQ(Record("Hard Disk 1/#3").kind, IK_EXTENDED);
    const std::string chain = "Hard Disk 1/#3";
    EXPECT_EQ(Record(chain + "/Unknown").kind, IK_VOLUME);  // NTFS in a table expands as a volume
    const std::pair<std::string, std::uint32_t> bases[] = {
        {chain, 62048},
        {chain + "/Unknown", 62048 + 63},
        {chain + "/#2", 82048},          // link: first extended + its value
        {chain + "/#2/#1", 82048 + 63},  // logical: its table + its value
        {chain + "/#2/#2", 102048},
        {chain + "/#2/#2/#1", 102048 + 63},
        {"Hard Disk 2/#3/#2/#1", 92048 + 63},
    };
    for (const auto& [path, base] : bases) {
        EXPECT_EQ(Record(path).baseSector, base) << path;
    }
    EXPECT_TRUE(printed.empty());
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
    EXPECT_EQ(
        std::tuple(fat2.relativeSector, fat2.sectorCount, fat2.baseSector, fat2.sectorsPerCluster,
                   fat2.heads, fat2.sectorsPerTrack, fat2.volumeSectors),
        std::tuple(204u, 200u, 2048u, 4u, 255u, 63u, 100000u));
    EXPECT_EQ(fat2.reservedSectors + fat2.sectorsPerFat, 0u);  // a FAT item does not carry them
    const TreeItemInfo& root = Record("Hard Disk 1/#1/Root Directory");
    EXPECT_EQ(std::tuple(root.kind, root.relativeSector, root.sectorCount, root.firstDataSector,
                         root.reservedSectors, root.sectorsPerFat),
              std::tuple(IK_ROOT_DIR, 404u, 32u, 436u, 4u, 200u));
    const TreeItemInfo& root32 = Record("Hard Disk 1/#2/Root Directory");
    EXPECT_EQ(std::tuple(root32.kind, root32.sectorCount, root32.attributes, root32.firstCluster,
                         root32.fatType, root32.firstDataSector),
              std::tuple(IK_DIR_ENTRY, 0u, 0x10, 5u, FT_FAT32, root32.relativeSector));
    EXPECT_EQ(root32.relativeSector, 32u + 2 * root32.sectorsPerFat);
}

// Unreadable tables and boot records, and a floppy that cannot be opened,
// are the fault matrix's.
TEST_F(PartitionWalkTest, NoBufferForTheSectorIsAFatalErrorMessage) {
    PlaceBuiltDisk(platform, ChainDisk());
    Start();
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    Batch("expand Hard Disk 1\n");
    EXPECT_EQ(printed,
              (std::vector<std::string>{"message: Fatal Error!  Not able to allocate a Buffer!"}));
    EXPECT_EQ(platform.LiveBlocks(), 2u);  // the two pools, no buffer left behind
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

TEST_F(PartitionWalkTest, NtfsEmptyOrNonFatSectorsGiveNoChildrenAndNoMessage) {
    Disk disk;
    disk.sizeBytes = 8 * kMiB;
    disk.primaries[0] = Primary(0x06, 2048, 4000);  // no volume written: a boot record of zeros
    disk.primaries[1] = Primary(0x07, 6048, 4000);
    PlaceBuiltDisk(platform, disk);
    platform.AddHardDisk(1000);  // a master boot record of zeros
    Start();
    EXPECT_EQ(Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/Unknown\n"
                    "expand Hard Disk 2\ntree\n"),
              "- Hard Disk 1\n  . 16-Bit FAT Disk\n  . Unknown\n. Hard Disk 2\n");
    EXPECT_TRUE(printed.empty());
    // NTFS in the master boot record is unknown, with no geometry.
    const TreeItemInfo& unknown = Record("Hard Disk 1/Unknown");
    EXPECT_EQ(unknown.kind, IK_UNKNOWN);
    EXPECT_EQ(unknown.relativeSector, 1u);
    EXPECT_EQ(unknown.heads + unknown.sectorsPerTrack + unknown.volumeSectors, 0u);
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

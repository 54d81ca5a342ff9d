// The partition walk across disks: each disk keeps its own extended base,
// and a second expansion reads nothing. The walk of one disk is the
// acceptance test's (against mmls and fsstat); damaged tables and boot
// records are the corpus's.
#include "tree/partition_walk.h"

#include <gtest/gtest.h>

#include "walk_harness.h"

namespace brovane {
namespace {

// An extended partition at `start`: an NTFS logical drive at its start + 63,
// then a link to a second table at + 19063 holding a FAT12 logical 1000
// sectors on.
std::string ChainDisk(std::uint32_t start) {
    const std::string at = std::to_string(start);
    return "disk size=96M\npartition type=0x05 start=" + at + " size=60000\n" +
           "logical type=0x07 start=" + std::to_string(start + 63) + " size=19000\n" +
           "logical type=0x01 start=" + std::to_string(start + 20063) + " size=19000\n";
}

TEST(PartitionWalkTest, EachDiskKeepsItsExtendedBaseAndIsWalkedOnce) {
    WalkHarness run;
    run.PlaceDescription(ChainDisk(62048));
    run.PlaceDescription(ChainDisk(72048));
    run.Start();
    // Interleaved: each disk's links count from its own extended partition.
    run.Batch(
        "expand Hard Disk 1\nexpand Hard Disk 2\nexpand Hard Disk 1/#1\nexpand Hard Disk 2/#1\n"
        "expand Hard Disk 2/#1/#2\nexpand Hard Disk 1/#1/#2\n");
    const std::size_t transfers = run.platform.transfers.size();
    run.Batch("collapse Hard Disk 1\nexpand Hard Disk 1\n");
    EXPECT_EQ(run.platform.transfers.size(), transfers);
    EXPECT_EQ(run.Batch("tree\n"),
              "- Hard Disk 1\n"
              "  - Extended DOS Partition\n"
              "    + Unknown\n"  // a table's unknown type is expanded as a volume
              "    - Extended DOS Partition\n"
              "      + 12-Bit FAT Disk\n"
              "- Hard Disk 2\n"
              "  - Extended DOS Partition\n"
              "    + Unknown\n"
              "    - Extended DOS Partition\n"
              "      + 12-Bit FAT Disk\n");
    const std::pair<std::string, std::uint32_t> bases[] = {
        {"Hard Disk 1/#1/#1", 62111},
        {"Hard Disk 1/#1/#2", 81111},     // link: first extended + its value
        {"Hard Disk 1/#1/#2/#1", 82111},  // logical: its table + its value
        {"Hard Disk 2/#1/#2/#1", 92111},
    };
    for (const auto& [path, base] : bases) {
        EXPECT_EQ(run.Record(path).baseSector, base) << path;
    }
    EXPECT_TRUE(run.printed.empty());
}

}  // namespace
}  // namespace brovane

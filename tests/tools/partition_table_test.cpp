#include "imagebuilder/partition_table.h"

#include <gtest/gtest.h>

#include "image_test_support.h"

namespace brovane::imagebuilder::test {
namespace {

std::vector<std::uint8_t> Entry(const std::vector<std::uint8_t>& sector, std::size_t slot) {
    const auto at =
        static_cast<std::ptrdiff_t>(kPartitionTableOffset + slot * kPartitionEntryBytes);
    return {sector.begin() + at, sector.begin() + at + kPartitionEntryBytes};
}

TEST(LbaToChs, PacksCylinderBitsIntoTheSectorByteAndMarksLargeAddresses) {
    // 2048 = track 32 of cylinder 0, sector 33.
    const ChsBytes first = LbaToChs(2048, 255, 63);
    EXPECT_EQ(first.head, 32);
    EXPECT_EQ(first.sector, 33);
    EXPECT_EQ(first.cylinder, 0);
    // Cylinder 300 = 0x12C: bits 8-9 (01) go to bits 6-7 of the sector byte.
    const ChsBytes high = LbaToChs(300ull * 255 * 63 + 5 * 63 + 2, 255, 63);
    EXPECT_EQ(high.head, 5);
    EXPECT_EQ(high.sector, 0x40 | 3);
    EXPECT_EQ(high.cylinder, 0x2C);
    const ChsBytes beyond = LbaToChs(1024ull * 255 * 63, 255, 63);
    EXPECT_EQ(beyond.head, 254);
    EXPECT_EQ(beyond.sector, 0xFF);
    EXPECT_EQ(beyond.cylinder, 0xFF);
}

TEST(MasterBootRecord, WritesEntriesInTheirSlotsAndLeavesEmptySlotsZero) {
    Disk disk;
    disk.sizeBytes = 64 * 1024 * 1024;
    disk.diskSignature = 0xCAFEF00D;
    disk.primaries[0] = {0x80, 0x06, 2048, 30000, {}, {}};
    disk.primaries[2] = {0x00, 0x0C, 40000, 50000, ChsBytes{1, 2, 3}, ChsBytes{4, 5, 6}};
    const SparseImage image = Build(disk);
    const auto mbr = SectorAt(image, 0);
    EXPECT_EQ(GetU16(mbr, kSignatureOffset), 0xAA55);
    EXPECT_EQ(GetU32(mbr, kDiskSignatureOffset), 0xCAFEF00D);
    const auto first = Entry(mbr, 0);
    EXPECT_EQ(first[kEntryStatus], 0x80);
    EXPECT_EQ(first[kEntryType], 0x06);
    EXPECT_EQ(GetU32(first, kEntryRelativeSector), 2048u);
    EXPECT_EQ(GetU32(first, kEntrySectorCount), 30000u);
    EXPECT_EQ(first[kEntryChsStart + 1], 33);  // sector byte of LBA 2048
    EXPECT_EQ(Entry(mbr, 1), std::vector<std::uint8_t>(kPartitionEntryBytes, 0));
    const auto third = Entry(mbr, 2);
    EXPECT_EQ((std::vector<std::uint8_t>(third.begin() + 1, third.begin() + 8)),
              (std::vector<std::uint8_t>{1, 2, 3, 0x0C, 4, 5, 6}));
}

TEST(ExtendedChain, LogicalsCountFromTheirTableAndLinksFromTheExtendedStart) {
    Disk disk;
    disk.sizeBytes = 64 * 1024 * 1024;
    disk.primaries[1] = {0x00, 0x05, 10000, 90000, {}, {}};
    LogicalPartition a;
    a.entry = {0, 0x06, 10063, 20000, {}, {}};  // table at 10000 by default
    LogicalPartition b;
    b.entry = {0, 0x01, 40000, 5000, {}, {}};
    b.tableSector = 35000;
    b.linkType = 0x0F;
    LogicalPartition c;
    c.entry = {0, 0x0B, 50000, 1000, {}, {}};  // table at 45000, the end of b
    disk.logicals = {a, b, c};
    const SparseImage image = Build(disk);

    const auto first = SectorAt(image, 10000);
    EXPECT_EQ(GetU16(first, kSignatureOffset), 0xAA55);
    EXPECT_EQ(GetU32(Entry(first, 0), kEntryRelativeSector), 63u);
    EXPECT_EQ(GetU32(Entry(first, 0), kEntrySectorCount), 20000u);
    EXPECT_EQ(Entry(first, 1)[kEntryType], 0x0F);
    EXPECT_EQ(GetU32(Entry(first, 1), kEntryRelativeSector), 25000u);  // 35000 - 10000
    EXPECT_EQ(GetU32(Entry(first, 1), kEntrySectorCount), 10000u);     // 35000 .. 45000

    const auto second = SectorAt(image, 35000);
    EXPECT_EQ(GetU32(Entry(second, 0), kEntryRelativeSector), 5000u);
    EXPECT_EQ(Entry(second, 1)[kEntryType], 0x05);
    EXPECT_EQ(GetU32(Entry(second, 1), kEntryRelativeSector), 35000u);  // 45000 - 10000

    const auto last = SectorAt(image, 45000);
    EXPECT_EQ(Entry(last, 0)[kEntryType], 0x0B);
    EXPECT_EQ(Entry(last, 1), std::vector<std::uint8_t>(kPartitionEntryBytes, 0));
}

TEST(ExtendedChain, RefusesLogicalsWithoutAnExtendedPartitionOrOutsideIt) {
    Disk disk;
    disk.sizeBytes = 64 * 1024 * 1024;
    disk.primaries[0] = {0, 0x06, 2048, 1000, {}, {}};
    LogicalPartition logical;
    logical.entry = {0, 0x06, 5000, 1000, {}, {}};
    disk.logicals = {logical};
    EXPECT_NE(BuildError(disk).find("extended partition"), std::string::npos);

    disk.primaries[1] = {0, 0x05, 4000, 1500, {}, {}};  // ends before the logical does
    EXPECT_NE(BuildError(disk).find("inside the extended partition"), std::string::npos);
}

TEST(MasterBootRecord, NotWrittenWithoutPartitionsSoAFloppyStartsWithItsBootRecord) {
    Disk disk;
    disk.sizeBytes = 2880 * kSectorBytes;
    FatVolume volume;
    volume.kind = FatKind::Fat12;
    volume.totalSectors = 2880;
    disk.volumes.push_back(volume);
    const auto boot = SectorAt(Build(disk), 0);
    EXPECT_EQ(boot[0], 0xEB);
    EXPECT_EQ(TextAt(boot, 3, 8), "BROVANE ");
    EXPECT_EQ(GetU32(boot, kPartitionTableOffset + kEntryRelativeSector), 0u);
}

}  // namespace
}  // namespace brovane::imagebuilder::test

#include "imagebuilder/description_parser.h"

#include <gtest/gtest.h>

#include "image_test_support.h"
#include "imagebuilder/demo_images.h"
#include "imagebuilder/partition_table.h"

namespace brovane::imagebuilder {
namespace {

Disk Parse(std::string_view text) {
    Disk disk;
    std::string error;
    EXPECT_TRUE(ParseDescription(text, disk, error)) << error;
    return disk;
}

std::string ParseError(std::string_view text) {
    Disk disk;
    std::string error;
    EXPECT_FALSE(ParseDescription(text, disk, error));
    return error;
}

TEST(DescriptionParser, PartitionsAndVolumesTakeTheirOptions) {
    const Disk disk = Parse(R"(# comment
disk size=64M heads=16 sectors_per_track=32 signature=0xABCD
partition type=0x06 start=2048 size=30000 status=0x80 chs_start=1/2/3
fat16 sectors_per_cluster=8 reserved=4 fats=1 root_entries=256 media=0xF0 oem="MY OEM" boot_label="BOOT LABEL"
partition slot=4 type=0x05 start=40000 size=20000
logical type=0x01 start=41000 size=5000 ebr=40500 link_type=0x0F
fat12 hidden=63 sectors_per_fat=12
fat32 start=70000 size=66000 root_clusters=2,5-7 fsinfo=2 backup_boot=8 volume_id=0x1234
)");
    EXPECT_EQ(disk.sizeBytes, 64u << 20);
    EXPECT_EQ(disk.heads, 16);
    EXPECT_EQ(disk.sectorsPerTrack, 32);
    EXPECT_EQ(disk.diskSignature, 0xABCDu);
    EXPECT_EQ(disk.primaries[0].status, 0x80);
    ASSERT_TRUE(disk.primaries[0].chsStart);
    EXPECT_EQ(disk.primaries[0].chsStart->cylinder, 3);
    EXPECT_FALSE(disk.primaries[0].chsEnd);
    EXPECT_EQ(disk.primaries[1].type, 0);
    EXPECT_EQ(disk.primaries[3].type, 0x05);
    ASSERT_EQ(disk.logicals.size(), 1u);
    EXPECT_EQ(disk.logicals[0].tableSector, 40500u);
    EXPECT_EQ(disk.logicals[0].linkType, 0x0F);
    ASSERT_EQ(disk.volumes.size(), 3u);
    const FatVolume& fat16 = disk.volumes[0];
    EXPECT_EQ(fat16.firstSector, 2048u);
    EXPECT_EQ(fat16.totalSectors, 30000u);
    EXPECT_EQ(fat16.sectorsPerCluster, 8);
    EXPECT_EQ(fat16.reservedSectors, 4);
    EXPECT_EQ(fat16.fatCount, 1);
    EXPECT_EQ(fat16.rootEntryCount, 256);
    EXPECT_EQ(fat16.media, 0xF0);
    EXPECT_EQ(fat16.oemName, "MY OEM");
    EXPECT_EQ(fat16.bootLabel, "BOOT LABEL");
    EXPECT_EQ(disk.volumes[1].kind, FatKind::Fat12);
    EXPECT_EQ(disk.volumes[1].firstSector, 41000u);
    EXPECT_EQ(disk.volumes[1].hiddenSectors, 63u);
    EXPECT_EQ(disk.volumes[1].sectorsPerFat, 12u);
    const FatVolume& fat32 = disk.volumes[2];
    EXPECT_EQ(fat32.firstSector, 70000u);
    EXPECT_EQ(fat32.sectorsPerCluster, 1);
    EXPECT_EQ(fat32.rootClusters, (std::vector<std::uint32_t>{2, 5, 6, 7}));
    EXPECT_EQ(fat32.fsInfoSector, 2);
    EXPECT_EQ(fat32.backupBootSector, 8);
    EXPECT_EQ(fat32.volumeId, 0x1234u);
}

TEST(DescriptionParser, EntriesDataStampsAndDamage) {
    const Disk disk = Parse(R"(disk sectors=2880
fat12 start=0 size=2880
label "MY DISK" date=2023-05-06
dir /DOCS lfn="My documents" attr=0x12
file /DOCS/A.TXT lfn="caf\xc3\xa9 \"menu\".txt" data="line\n\ttab" clusters=9,4 mdate=2020-02-29 mtime=23:59:58 cdate=1999-12-31 ctime=01:02:03 adate=2001-01-01
file /B.BIN hex=00ff10 size=7 first_cluster=0x30
file /C.TXT pattern="ab" length=5
deleted /OLD.TXT keep_lfn lfn="Old"
dir /GONE deleted
damage fat cluster=9 value=9 copy=2
damage boot field=heads value=0
poke offset=0x200 hex=AA55
poke volume_offset=3 hex=01
)");
    ASSERT_EQ(disk.volumes.size(), 1u);
    const auto& entries = disk.volumes[0].entries;
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[0].kind, EntryKind::VolumeLabel);
    EXPECT_EQ(entries[0].label, "MY DISK");
    EXPECT_EQ(entries[0].stamp.modifiedDate, DosDate(2023, 5, 6));
    EXPECT_EQ(entries[0].stamp.createdDate, DosDate(2023, 5, 6));
    EXPECT_EQ(entries[1].kind, EntryKind::Directory);
    EXPECT_EQ(entries[1].longName, "My documents");
    EXPECT_EQ(entries[1].attributes, 0x12);
    const EntryDescription& a = entries[2];
    EXPECT_EQ(a.path, "/DOCS/A.TXT");
    EXPECT_EQ(a.longName, "caf\xc3\xa9 \"menu\".txt");
    EXPECT_EQ(a.data, "line\n\ttab");
    EXPECT_EQ(a.clusters, (std::vector<std::uint32_t>{9, 4}));
    EXPECT_EQ(a.stamp.modifiedDate, DosDate(2020, 2, 29));
    EXPECT_EQ(a.stamp.modifiedTime, DosTime(23, 59, 58));
    EXPECT_EQ(a.stamp.createdDate, DosDate(1999, 12, 31));
    EXPECT_EQ(a.stamp.createdTime, DosTime(1, 2, 3));
    EXPECT_EQ(a.stamp.accessedDate, DosDate(2001, 1, 1));
    EXPECT_EQ(entries[3].data, std::string("\x00\xff\x10", 3));
    EXPECT_EQ(entries[3].sizeOverride, 7u);
    EXPECT_EQ(entries[3].firstClusterOverride, 0x30u);
    EXPECT_EQ(entries[4].data, "ababa");
    EXPECT_TRUE(entries[5].deleted);
    EXPECT_FALSE(entries[5].longNameDeleted);
    EXPECT_TRUE(entries[6].deleted);
    EXPECT_EQ(entries[6].kind, EntryKind::Directory);
    ASSERT_EQ(disk.volumes[0].fatOverrides.size(), 1u);
    EXPECT_EQ(disk.volumes[0].fatOverrides[0].copy, 2u);
    ASSERT_EQ(disk.volumes[0].bootOverrides.size(), 1u);
    EXPECT_EQ(disk.volumes[0].bootOverrides[0].field, "heads");
    ASSERT_EQ(disk.pokes.size(), 2u);
    EXPECT_EQ(disk.pokes[0].offset, 0x200u);
    EXPECT_EQ(disk.pokes[0].bytes, (std::vector<std::uint8_t>{0xAA, 0x55}));
    EXPECT_EQ(disk.pokes[1].offset, 3u);
}

TEST(DescriptionParser, ErrorsNameTheLineAndTheCause) {
    EXPECT_EQ(ParseError("disk size=1M\nfrobnicate\n"), "line 2: unknown command 'frobnicate'");
    EXPECT_EQ(ParseError("disk size=1M\npartition type=6 strat=5\n"),
              "line 2: unknown option strat for partition");
    EXPECT_EQ(ParseError("disk size=1M\npartition type=0x100\n"),
              "line 2: type=0x100: too large (at most 255)");
    EXPECT_EQ(ParseError("disk size=1M\npartition type=6 start=12K\n"),
              "line 2: start=12K: not a number");
    EXPECT_EQ(ParseError("partition type=6\n"),
              "line 1: the description must begin with a disk line");
    EXPECT_EQ(ParseError("disk size=1M\nfat16\n"),
              "line 2: the volume needs a partition line before it, or start= and size=");
    EXPECT_EQ(ParseError("disk size=1M\nfile /A.TXT\n"),
              "line 2: no volume declared yet (fat12, fat16 or fat32)");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\nfile /A data=\"open\n"),
              "line 3: unterminated quote or bad escape");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\ndir /D data=x\n"),
              "line 3: unknown option data for dir");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\nfile /A extra\n"),
              "line 3: unexpected word 'extra' for file");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\nfile /A clusters=4-2\n"),
              "line 3: clusters=4-2: not a cluster list such as 5,9,6 or 10-14");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\nfile /A date=2024-13-01\n"),
              "line 3: date=2024-13-01: not a date YYYY-MM-DD from 1980 to 2107");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\ndamage fat value=1\n"),
              "line 3: damage fat needs cluster=");
    EXPECT_EQ(ParseError("disk size=1M\nfat12 start=0 size=100\npoke offset=1 hex=ABC\n"),
              "line 3: hex=ABC: not an even number of hexadecimal digits");
    EXPECT_EQ(ParseError("# nothing\n"), "no disk line with a size");
}

// A chain of two tables whose second link is replaced by one back to the
// first table, with a zero offset; the image is then cut inside the FAT.
TEST(DescriptionParser, RawEntriesReplaceChainLinksAndTruncateCutsTheImage) {
    const Disk disk = Parse(R"(disk size=8M
partition type=0x05 start=2048 size=14000
logical type=0x06 start=2111 size=5000
fat16 sectors_per_fat=20
logical type=0x06 start=7174 size=5000
entry table=7111 slot=2 type=0x05 start=2048 size=14000 base=2048
entry table=7111 slot=3 type=0x06 start=7111 size=1 base=7111 status=0x80 chs_start=1/2/3
truncate sectors=2120
)");
    SparseImage image(0);
    std::string error;
    ASSERT_TRUE(BuildImage(disk, image, error)) << error;
    EXPECT_EQ(image.Size(), 2120u * kSectorBytes);

    // The second table lies past the cut; rebuild without it to read the entries.
    Disk whole = disk;
    whole.truncateBytes.reset();
    const SparseImage full = test::Build(whole);
    const auto table = test::SectorAt(full, 7111);
    const auto link = std::vector<std::uint8_t>(table.begin() + 462, table.begin() + 478);
    EXPECT_EQ(link[kEntryType], 0x05);
    EXPECT_EQ(GetU32(link, kEntryRelativeSector), 0u);
    EXPECT_EQ(GetU32(link, kEntrySectorCount), 14000u);
    const ChsBytes start = LbaToChs(2048, 255, 63);
    EXPECT_EQ(link[kEntryChsStart], start.head);
    EXPECT_EQ(link[kEntryChsStart + 1], start.sector);
    EXPECT_EQ(link[kEntryChsStart + 2], start.cylinder);
    const auto third = std::vector<std::uint8_t>(table.begin() + 478, table.begin() + 494);
    EXPECT_EQ((std::vector<std::uint8_t>(third.begin(), third.begin() + 5)),
              (std::vector<std::uint8_t>{0x80, 1, 2, 3, 0x06}));
    EXPECT_EQ(GetU32(third, kEntryRelativeSector), 0u);
    // The logical entry of slot 1 stays as the chain wrote it.
    EXPECT_EQ(GetU32(table, 446 + kEntryRelativeSector), 63u);

    // Bytes in front of the cut are kept; a page that straddles it reads only up to it.
    EXPECT_EQ(image.Read(2111 * kSectorBytes, kSectorBytes), test::SectorAt(full, 2111));
    EXPECT_EQ(image.Read(2119 * kSectorBytes, 2 * kSectorBytes).size(), kSectorBytes);
    EXPECT_TRUE(image.Read(2120 * kSectorBytes, 1).empty());

    Disk tooLong = Parse("disk size=1M\ntruncate size=2M\n");
    EXPECT_NE(test::BuildError(tooLong).find("cannot be cut"), std::string::npos);
}

TEST(DescriptionParser, RawEntriesAndTruncateRefuseWhatTheyCannotWrite) {
    EXPECT_EQ(ParseError("disk size=1M\nentry slot=1 type=6\n"), "line 2: entry needs table=");
    EXPECT_EQ(ParseError("disk size=1M\nentry table=0 slot=5 type=6\n"),
              "line 2: slot must be 1 to 4");
    EXPECT_EQ(ParseError("disk size=1M\nentry table=0 slot=1 start=5 base=9\n"),
              "line 2: start= lies in front of base=");
    EXPECT_EQ(ParseError("disk size=1M\ntruncate\n"), "line 2: truncate needs size= or sectors=");
    EXPECT_EQ(ParseError("disk size=1M\ntruncate size=1K sectors=2\n"),
              "line 2: truncate needs size= or sectors=");
}

TEST(DescriptionParser, DemoDescriptionsHoldEveryKindOfVolumeAndEntry) {
    const Disk demo = Parse(DemoDiskDescription());
    ASSERT_EQ(demo.volumes.size(), 4u);
    EXPECT_EQ(demo.volumes[0].kind, FatKind::Fat16);
    EXPECT_EQ(demo.volumes[1].kind, FatKind::Fat32);
    EXPECT_EQ(demo.volumes[2].kind, FatKind::Fat12);
    EXPECT_EQ(demo.logicals.size(), 2u);
    EXPECT_EQ(demo.logicals[0].entry.type, 0x01);
    // The FAT12 logical must stay under 4085 clusters.
    VolumeLayout layout;
    std::string error;
    ASSERT_TRUE(ComputeLayout(demo.volumes[2], layout, error));
    EXPECT_LT(layout.clusterCount, 4085u);
    SparseImage image(0);
    EXPECT_TRUE(BuildImage(demo, image, error)) << error;

    const Disk floppy = Parse(DemoFloppyDescription());
    EXPECT_EQ(floppy.sizeBytes, 1474560u);
    ASSERT_EQ(floppy.volumes.size(), 1u);
    EXPECT_EQ(floppy.volumes[0].media, 0xF0);
    EXPECT_EQ(floppy.volumes[0].rootEntryCount, 224);
    EXPECT_EQ(floppy.volumes[0].sectorsPerTrack, 18);
    EXPECT_EQ(floppy.volumes[0].heads, 2);
}

}  // namespace
}  // namespace brovane::imagebuilder

// Descriptions parsed into disks, and every description the parser or the
// builder refuses, with the reason it gives. Options that the image
// acceptance tests build and check with fsck.fat and mtools are not repeated
// here.
#include "imagebuilder/description_parser.h"

#include <gtest/gtest.h>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {
namespace {

Disk Parse(std::string_view text) {
    Disk disk;
    std::string error;
    EXPECT_TRUE(ParseDescription(text, disk, error)) << error;
    return disk;
}

TEST(DescriptionParser, OptionsLandInTheirFields) {
    const Disk disk = Parse(R"(# comment
disk size=64M heads=16 sectors_per_track=32 signature=0xABCD
partition type=0x06 start=2048 size=30000 status=0x80 chs_start=1/2/3
fat16 reserved=4 fats=1 oem="MY OEM" boot_label="BOOT LABEL"
partition slot=4 type=0x05 start=40000 size=20000
logical type=0x01 start=41000 size=5000 ebr=40500 link_type=0x0F
fat12 hidden=63 sectors_per_fat=12
fat32 start=70000 size=66000 root_clusters=2,5-7 fsinfo=2 backup_boot=8 volume_id=0x1234
dir /DOCS attr=0x12
file /DOCS/A.TXT lfn="caf\xc3\xa9 \"menu\".txt" data="line\n\ttab" mdate=2020-02-29 mtime=23:59:58 cdate=1999-12-31 ctime=01:02:03 adate=2001-01-01
file /B.BIN hex=00ff10 size=7 first_cluster=0x30
label "MY DISK" date=2023-05-06
deleted /OLD.TXT keep_lfn lfn="Old"
damage fat cluster=9 value=9 copy=2
damage boot field=heads value=0
poke offset=0x200 hex=AA55
poke volume_offset=3 hex=01
)");
    EXPECT_EQ(std::tuple(disk.sizeBytes, disk.heads, disk.sectorsPerTrack, disk.diskSignature),
              std::tuple(64u << 20, 16, 32, 0xABCDu));
    EXPECT_EQ(disk.primaries[0].status, 0x80);
    ASSERT_TRUE(disk.primaries[0].chsStart);
    EXPECT_EQ(disk.primaries[0].chsStart->cylinder, 3);
    EXPECT_FALSE(disk.primaries[0].chsEnd);
    EXPECT_EQ(disk.primaries[3].type, 0x05);
    ASSERT_EQ(disk.logicals.size(), 1u);
    EXPECT_EQ(std::tuple(disk.logicals[0].tableSector, disk.logicals[0].linkType),
              std::tuple(std::optional<std::uint32_t>{40500}, 0x0F));
    ASSERT_EQ(disk.volumes.size(), 3u);
    const FatVolume& fat16 = disk.volumes[0];
    EXPECT_EQ(std::tuple(fat16.firstSector, fat16.reservedSectors, fat16.fatCount, fat16.oemName,
                         fat16.bootLabel),
              std::tuple(2048u, 4, 1, "MY OEM", "BOOT LABEL"));
    EXPECT_EQ(std::tuple(disk.volumes[1].firstSector, disk.volumes[1].hiddenSectors,
                         disk.volumes[1].sectorsPerFat),
              std::tuple(41000u, std::optional<std::uint32_t>{63}, 12u));
    const FatVolume& fat32 = disk.volumes[2];
    EXPECT_EQ(fat32.rootClusters, (std::vector<std::uint32_t>{2, 5, 6, 7}));
    EXPECT_EQ(std::tuple(fat32.fsInfoSector, fat32.backupBootSector, fat32.volumeId),
              std::tuple(2, 8, 0x1234u));

    const auto& entries = fat32.entries;
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].attributes, 0x12);
    const EntryDescription& a = entries[1];
    EXPECT_EQ(a.longName, "caf\xc3\xa9 \"menu\".txt");
    EXPECT_EQ(a.data, "line\n\ttab");
    EXPECT_EQ(std::tuple(a.stamp.modifiedDate, a.stamp.modifiedTime, a.stamp.createdDate,
                         a.stamp.createdTime, a.stamp.accessedDate),
              std::tuple(DosDate(2020, 2, 29), DosTime(23, 59, 58), DosDate(1999, 12, 31),
                         DosTime(1, 2, 3), DosDate(2001, 1, 1)));
    EXPECT_EQ(entries[2].data, std::string("\x00\xff\x10", 3));
    EXPECT_EQ(entries[2].sizeOverride, 7u);
    EXPECT_EQ(entries[2].firstClusterOverride, 0x30u);
    EXPECT_EQ(entries[3].stamp.createdDate, DosDate(2023, 5, 6));
    EXPECT_TRUE(entries[4].deleted);
    EXPECT_FALSE(entries[4].longNameDeleted);
    ASSERT_EQ(fat32.fatOverrides.size(), 1u);
    EXPECT_EQ(fat32.fatOverrides[0].copy, 2u);
    ASSERT_EQ(fat32.bootOverrides.size(), 1u);
    EXPECT_EQ(fat32.bootOverrides[0].field, "heads");
    ASSERT_EQ(disk.pokes.size(), 2u);
    EXPECT_EQ(disk.pokes[0].bytes, (std::vector<std::uint8_t>{0xAA, 0x55}));
    EXPECT_EQ(std::tuple(disk.pokes[0].offset, disk.pokes[1].offset),
              std::tuple(0x200u, 70000u * 512 + 3));
}

// A disk line, a FAT16 volume and what the case adds; the parser's reason
// is the whole message, the builder's a part of it.
TEST(DescriptionParser, RefusedDescriptionsNameTheirCause) {
    const std::string volume = "disk size=16M\nfat16 start=2048 size=16000 sectors_per_cluster=2\n";
    std::string fullRoot = "disk size=16M\nfat16 start=2048 size=16000 root_entries=16\n";
    for (int i = 0; i < 17; ++i) {
        fullRoot += "file /F" + std::to_string(i) + "\n";
    }
    struct Case {
        std::string text;
        std::string parseError;  // or empty: parsed, and the builder refuses
        std::string buildError = "";
    };
    const Case cases[] = {
        {"disk size=1M\nfrobnicate\n", "line 2: unknown command 'frobnicate'"},
        {"disk size=1M\npartition type=6 strat=5\n", "line 2: unknown option strat for partition"},
        {"disk size=1M\npartition type=0x100\n", "line 2: type=0x100: too large (at most 255)"},
        {"disk size=1M\npartition type=6 start=12K\n", "line 2: start=12K: not a number"},
        {"partition type=6\n", "line 1: the description must begin with a disk line"},
        {"disk size=1M\nfat16\n",
         "line 2: the volume needs a partition line before it, or start= and size="},
        {"disk size=1M\nfile /A.TXT\n", "line 2: no volume declared yet (fat12, fat16 or fat32)"},
        {volume + "file /A data=\"open\n", "line 3: unterminated quote or bad escape"},
        {volume + "dir /D data=x\n", "line 3: unknown option data for dir"},
        {volume + "file /A extra\n", "line 3: unexpected word 'extra' for file"},
        {volume + "file /A clusters=4-2\n",
         "line 3: clusters=4-2: not a cluster list such as 5,9,6 or 10-14"},
        {volume + "file /A date=2024-13-01\n",
         "line 3: date=2024-13-01: not a date YYYY-MM-DD from 1980 to 2107"},
        {volume + "damage fat value=1\n", "line 3: damage fat needs cluster="},
        {volume + "poke offset=1 hex=ABC\n",
         "line 3: hex=ABC: not an even number of hexadecimal digits"},
        {"# nothing\n", "no disk line with a size"},
        {"disk size=1M\nentry slot=1 type=6\n", "line 2: entry needs table="},
        {"disk size=1M\nentry table=0 slot=5 type=6\n", "line 2: slot must be 1 to 4"},
        {"disk size=1M\nentry table=0 slot=1 start=5 base=9\n",
         "line 2: start= lies in front of base="},
        {"disk size=1M\ntruncate\n", "line 2: truncate needs size= or sectors="},
        {"disk size=1M\ntruncate size=1K sectors=2\n", "line 2: truncate needs size= or sectors="},
        {"disk size=1M\ntruncate size=2M\n", "", "cannot be cut"},
        {volume + "file /A.TXT clusters=7\nfile /B.TXT clusters=7\n", "", "used twice"},
        {volume + "file /NODIR/A.TXT\n", "", "not declared"},
        {volume + "file /BIG.BIN pattern=\"b\" length=5000 clusters=3,4\n", "",
         "2 clusters given, 5 needed"},
        {volume + "file \"/BAD NAME.TXT\"\n", "", "not allowed"},
        {volume + "file /TOOLONGNAME.TXT\n", "", "longer than 8"},
        {volume + "file /A.TEXT\n", "", "longer than 3"},
        {volume + "file /A.B.C\n", "", "'.' is not allowed"},
        {volume + "file /.TXT\n", "", "not a short 8.3 name"},
        {volume + "file /A.TXT lfn=\"\xC3\x28\"\n", "", "not UTF-8"},
        {fullRoot, "", "root directory holds more"},
        {"disk size=16M\nfat16 start=2048 size=32768\n", "", "runs past the disk's end"},
        {volume + "poke offset=16777215 hex=0102\n", "", "run past the disk's end"},
        {volume + "damage boot field=sectors_per_clustr value=0\n", "", "sectors_per_clustr"},
        {"disk size=16M\nfat16 start=0 size=30000 sectors_per_fat=10\n", "",
         "sectors per FAT cannot describe"},
        {"disk size=16M\nfat16 start=0 size=30000 sectors_per_cluster=0\n", "", "must not be 0"},
        {"disk size=64M\npartition type=6 start=2048 size=1000\nlogical type=6 start=5000 "
         "size=1000\n",
         "", "logical partitions need an extended partition"},
        {"disk size=64M\npartition type=5 start=4000 size=1500\nlogical type=6 start=5000 "
         "size=1000\n",
         "", "inside the extended partition"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Disk disk;
        std::string error;
        if (!c.parseError.empty()) {
            EXPECT_FALSE(ParseDescription(c.text, disk, error));
            EXPECT_EQ(error, c.parseError);
        } else {
            ASSERT_TRUE(ParseDescription(c.text, disk, error)) << error;
            SparseImage image(0);
            EXPECT_FALSE(BuildImage(disk, image, error));
            EXPECT_NE(error.find(c.buildError), std::string::npos) << error;
        }
    }
}

}  // namespace
}  // namespace brovane::imagebuilder

// What the image acceptance tests cannot see with fsck.fat and mtools: the
// damage a description asks for lands exactly where it is asked, CHS bytes
// of large addresses, UTF-8 long names, an image file that cannot be made.
#include <gtest/gtest.h>

#include "imagebuilder/description_parser.h"
#include "imagebuilder/image_builder.h"
#include "imagebuilder/le_bytes.h"
#include "imagebuilder/long_name.h"
#include "imagebuilder/partition_table.h"

namespace brovane::imagebuilder {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Built {
    explicit Built(std::string_view description) {
        std::string error;
        EXPECT_TRUE(ParseDescription(description, disk, error)) << error;
        EXPECT_TRUE(BuildImage(disk, image, error)) << error;
        EXPECT_TRUE(ComputeLayout(disk.volumes.at(0), layout, error)) << error;
    }
    Bytes Sector(std::uint64_t relative) {
        return image.Read((disk.volumes[0].firstSector + relative) * kSectorBytes, kSectorBytes);
    }
    std::uint16_t Fat16(std::uint32_t copy, std::uint32_t cluster) {
        Bytes fat = Sector(layout.reservedSectors + (copy - 1) * layout.sectorsPerFat);
        return GetU16(fat, 2 * cluster);
    }
    Bytes RootEntry(std::size_t index) {
        Bytes root = Sector(layout.rootDirSector);
        return Bytes(root.begin() + static_cast<std::ptrdiff_t>(index * 32),
                     root.begin() + static_cast<std::ptrdiff_t>(index * 32 + 32));
    }

    Disk disk;
    SparseImage image{0};
    VolumeLayout layout;
};

TEST(ImageBuilder, DamageLandsWhereItIsAskedAndNowhereElse) {
    Built built(R"(disk size=16M
fat16 start=2048 size=16000 sectors_per_cluster=2
file /LOOP.BIN pattern="l" length=3000 clusters=10,11,12 size=99999 first_cluster=0xFFFF
deleted /GONE.TXT data="old data" lfn="Gone file.txt"
deleted /KEPT.TXT data="more" lfn="Kept slots.txt" keep_lfn
damage fat cluster=12 value=10
damage fat cluster=11 value=0xFFF0 copy=2
poke offset=1048589 hex=00
poke offset=510 hex=1234
)");
    // Copy 2 alone gets its own override; both get the loop.
    EXPECT_EQ(built.Fat16(1, 12), 10u);
    EXPECT_EQ(built.Fat16(2, 12), 10u);
    EXPECT_EQ(built.Fat16(1, 11), 12u);
    EXPECT_EQ(built.Fat16(2, 11), 0xFFF0u);
    EXPECT_EQ(GetU32(built.RootEntry(0), 28), 99999u);
    EXPECT_EQ(GetU16(built.RootEntry(0), 26), 0xFFFF);
    // A deleted file keeps its cluster number and data, not its chain.
    EXPECT_EQ(built.RootEntry(1)[0], 0xE5);  // its slot
    EXPECT_EQ(built.RootEntry(1)[11], 0x0F);
    const Bytes gone = built.RootEntry(2);
    EXPECT_EQ(std::string(gone.begin(), gone.begin() + 11), "\xE5ONE    TXT");
    const std::uint16_t cluster = GetU16(gone, 26);
    EXPECT_EQ(built.Fat16(1, cluster), 0u);
    const Bytes data = built.Sector(built.layout.ClusterSector(cluster, 2));
    EXPECT_EQ(std::string(data.begin(), data.begin() + 8), "old data");
    // keep_lfn leaves the slots as they were.
    EXPECT_EQ(built.RootEntry(3)[0], 0x42);
    EXPECT_EQ(built.RootEntry(4)[0], 0x01);
    EXPECT_EQ(built.RootEntry(5)[0], 0xE5);
    // Pokes come last, over the boot record and the master boot record.
    EXPECT_EQ(built.Sector(0)[13], 0);
    EXPECT_EQ(GetU16(built.image.Read(0, 512), 510), 0x3412);
}

// A chain of two tables whose second link is replaced by one back to the
// first table, with a zero offset; the image is then cut inside the FAT.
TEST(ImageBuilder, RawEntriesReplaceChainLinksAndTruncateCutsTheImage) {
    const std::string chain = R"(disk size=8M
partition type=0x05 start=2048 size=14000
logical type=0x06 start=2111 size=5000
fat16 sectors_per_fat=20
logical type=0x06 start=7174 size=5000
entry table=7111 slot=2 type=0x05 start=2048 size=14000 base=2048
entry table=7111 slot=3 type=0x06 start=7111 size=1 base=7111 status=0x80 chs_start=1/2/3
)";
    Built cut(chain + "truncate sectors=2120\n");
    EXPECT_EQ(cut.image.Size(), 2120u * kSectorBytes);
    // The second table lies past the cut; built whole to read the entries.
    Built whole(chain);
    const Bytes table = whole.image.Read(7111 * kSectorBytes, kSectorBytes);
    const Bytes link(table.begin() + 462, table.begin() + 478);
    const ChsBytes start = LbaToChs(2048, 255, 63);
    EXPECT_EQ((Bytes(link.begin() + 1, link.begin() + 5)),
              (Bytes{start.head, start.sector, start.cylinder, 0x05}));
    EXPECT_EQ(GetU32(link, 8), 0u);
    EXPECT_EQ(GetU32(link, 12), 14000u);
    const Bytes third(table.begin() + 478, table.begin() + 494);
    EXPECT_EQ((Bytes(third.begin(), third.begin() + 5)), (Bytes{0x80, 1, 2, 3, 0x06}));
    EXPECT_EQ(GetU32(third, 8), 0u);
    // The logical entry of slot 1 stays as the chain wrote it.
    EXPECT_EQ(GetU32(table, 446 + 8), 63u);
    // Bytes in front of the cut are kept; a page that straddles it reads only up to it.
    EXPECT_EQ(cut.image.Read(2111 * kSectorBytes, kSectorBytes),
              whole.image.Read(2111 * kSectorBytes, kSectorBytes));
    EXPECT_EQ(cut.image.Read(2119 * kSectorBytes, 2 * kSectorBytes).size(), kSectorBytes);
    EXPECT_TRUE(cut.image.Read(2120 * kSectorBytes, 1).empty());
}

TEST(LbaToChs, PacksCylinderBitsIntoTheSectorByteAndMarksLargeAddresses) {
    // 2048 = track 32 of cylinder 0, sector 33.
    const ChsBytes first = LbaToChs(2048, 255, 63);
    EXPECT_EQ(std::tuple(first.head, first.sector, first.cylinder), std::tuple(32, 33, 0));
    // Cylinder 300 = 0x12C: bits 8-9 (01) go to bits 6-7 of the sector byte.
    const ChsBytes high = LbaToChs(300ull * 255 * 63 + 5 * 63 + 2, 255, 63);
    EXPECT_EQ(std::tuple(high.head, high.sector, high.cylinder), std::tuple(5, 0x40 | 3, 0x2C));
    const ChsBytes beyond = LbaToChs(1024ull * 255 * 63, 255, 63);
    EXPECT_EQ(std::tuple(beyond.head, beyond.sector, beyond.cylinder), std::tuple(254, 0xFF, 0xFF));
}

TEST(LongName, Utf8BecomesUtf16WithSurrogatesAndBadInputIsRefused) {
    EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9"), std::u16string(u"caf\u00E9"));
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), std::u16string(u"\u20AC"));
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
    EXPECT_FALSE(Utf8ToUtf16("\xC3"));
    EXPECT_FALSE(Utf8ToUtf16("\xC3\x28"));
    EXPECT_FALSE(Utf8ToUtf16("\xFF"));
}

// Large images as sparse files are the image acceptance test's.
TEST(SparseImage, AFileThatCannotBeMadeIsNamed) {
    Built built("disk size=1M\nfat12 start=0 size=2000\n");
    std::string error;
    EXPECT_FALSE(WriteImageFile(built.disk, "/nonexistent-dir/x.img", error));
    EXPECT_NE(error.find("cannot create /nonexistent-dir/x.img"), std::string::npos) << error;
}

}  // namespace
}  // namespace brovane::imagebuilder

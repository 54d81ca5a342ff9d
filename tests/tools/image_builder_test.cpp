// What the corpus and the image acceptance test cannot see: the damage a
// description asks for lands exactly where it is asked (the corpus' goldens
// would show damage in the wrong place as plausible damage), and refused
// descriptions name their cause.
#include <gtest/gtest.h>

#include "imagebuilder/description_parser.h"
#include "imagebuilder/image_builder.h"
#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder {
namespace {

TEST(ImageBuilder, DamageLandsWhereItIsAskedAndNowhereElse) {
    Disk disk;
    SparseImage image{0};
    std::string error;
    ASSERT_TRUE(ParseDescription(R"(disk size=16M
fat16 start=2048 size=16000 sectors_per_cluster=2
file /LOOP.BIN pattern="l" length=3000 clusters=10,11,12 size=99999 first_cluster=0xFFFF
deleted /GONE.TXT data="old data" lfn="Gone file.txt"
deleted /KEPT.TXT data="more" lfn="Kept slots.txt" keep_lfn
damage fat cluster=12 value=10
damage fat cluster=11 value=0xFFF0 copy=2
poke offset=1048589 hex=00
poke offset=510 hex=1234
)",
                                 disk, error))
        << error;
    VolumeLayout layout;
    ASSERT_TRUE(BuildImage(disk, image, error) && ComputeLayout(disk.volumes[0], layout, error));
    auto sector = [&](std::uint64_t relative) { return image.Read((2048 + relative) * 512, 512); };
    auto fat = [&](unsigned copy, std::uint32_t cluster) -> unsigned {
        return GetU16(sector(layout.reservedSectors + (copy - 1) * layout.sectorsPerFat),
                      2 * cluster);
    };
    EXPECT_EQ(std::vector<unsigned>({fat(1, 11), fat(1, 12), fat(2, 11), fat(2, 12)}),
              std::vector<unsigned>({12, 10, 0xFFF0, 10}));
    const std::vector<std::uint8_t> root = sector(layout.rootDirSector);
    EXPECT_EQ(GetU32(root, 28), 99999u);
    EXPECT_EQ(GetU16(root, 26), 0xFFFF);
    // A deleted file keeps its first cluster and data, not its chain;
    // keep_lfn leaves the slots as they were.
    EXPECT_EQ(std::string(root.begin() + 64, root.begin() + 75), "\xE5ONE    TXT");
    const std::uint16_t cluster = GetU16(root, 64 + 26);
    EXPECT_EQ(fat(1, cluster), 0u);
    const std::vector<std::uint8_t> data = sector(layout.ClusterSector(cluster, 2));
    EXPECT_EQ(std::string(data.begin(), data.begin() + 8), "old data");
    EXPECT_EQ(std::vector<int>({root[32], root[43], root[96], root[128], root[160]}),
              std::vector<int>({0xE5, 0x0F, 0x42, 0x01, 0xE5}));
    // Pokes come last, over the boot record and the master boot record.
    EXPECT_EQ(sector(0)[13], 0);
    EXPECT_EQ(GetU16(image.Read(0, 512), 510), 0x3412);
}

TEST(DescriptionParser, RefusedDescriptionsNameTheirCause) {
    const std::string volume = "disk size=16M\nfat16 start=2048 size=16000\n";
    const std::pair<std::string, std::string> cases[] = {
        {"disk size=1M\nfrobnicate\n", "line 2: unknown command 'frobnicate'"},
        {"disk size=1M\npartition type=0x100\n", "line 2: type=0x100: too large (at most 255)"},
        {"partition type=6\n", "line 1: the description must begin with a disk line"},
        {volume + "file /A data=\"open\n", "line 3: unterminated quote or bad escape"},
        {volume + "file /A clusters=4-2\n",
         "line 3: clusters=4-2: not a cluster list such as 5,9,6 or 10-14"},
        {volume + "file /A.TXT clusters=7\nfile /B.TXT clusters=7\n", "used twice"},
        {volume + "file /TOOLONGNAME.TXT\n", "longer than 8"},
        {"disk size=16M\nfat16 start=2048 size=32768\n", "runs past the disk's end"},
    };
    for (const auto& [text, reason] : cases) {
        Disk disk;
        SparseImage image(0);
        std::string error;
        EXPECT_FALSE(ParseDescription(text, disk, error) && BuildImage(disk, image, error));
        EXPECT_NE(error.find(reason), std::string::npos) << text << error;
    }
}

}  // namespace
}  // namespace brovane::imagebuilder

#include "format/fat_entry.h"

#include <gtest/gtest.h>

#include <limits>

#include "format_test_bytes.h"

namespace brovane {
namespace {

using test::Bytes;

// FAT12 pairs share three bytes; FAT16 and FAT32 read their width.
TEST(FatEntryTest, EntriesReadTheirWidth) {
    Bytes fat(6, 0);
    fat[3] = 0x03;
    fat[4] = 0x40;
    fat[5] = 0x00;
    EXPECT_EQ(ReadFatEntry(2, kFat12Code, fat), 0x003u);  // word 0x4003, low 12 bits
    EXPECT_EQ(ReadFatEntry(3, kFat12Code, fat), 0x004u);  // word 0x0040, shifted right by 4

    Bytes packed(12, 0);
    const std::uint32_t values[] = {0xFF0, 0xFFF, 0xABC, 0x123, 0x001, 0x800, 0x7FE};
    for (std::uint32_t c = 0; c < 7; ++c) {
        test::SetFat12(packed, c, values[c]);
    }
    for (std::uint32_t c = 0; c < 7; ++c) {
        EXPECT_EQ(ReadFatEntry(c, kFat12Code, packed), values[c]) << "cluster " << c;
    }

    Bytes fat16(8, 0);
    test::SetFat16(fat16, 3, 0xFFF8);
    EXPECT_EQ(ReadFatEntry(3, kFat16Code, fat16), 0xFFF8u);

    Bytes fat32(16, 0);
    test::SetFat32(fat32, 2, 0xF0000005);
    test::SetFat32(fat32, 3, 0x12345678);
    EXPECT_EQ(ReadFatEntry(2, kFat32Code, fat32), 5u);  // top 4 bits of the value ignored
    EXPECT_EQ(ReadFatEntry(3, kFat32Code, fat32), 0x02345678u);
    // The cluster number's top 4 bits are ignored as well.
    EXPECT_EQ(ReadFatEntry(0xF0000002, kFat32Code, fat32), 5u);
}

TEST(FatEntryTest, EntriesPastTheImageAreNotRead) {
    const Bytes fat16(6, 0xAA);
    EXPECT_EQ(ReadFatEntry(2, kFat16Code, fat16), 0xAAAAu);
    EXPECT_FALSE(ReadFatEntry(3, kFat16Code, fat16));

    // 512 bytes hold FAT12 entries 0 to 340; entry 341 would need byte 512.
    const Bytes fat12(512, 0x11);
    EXPECT_TRUE(ReadFatEntry(340, kFat12Code, fat12));
    EXPECT_FALSE(ReadFatEntry(341, kFat12Code, fat12));

    const Bytes fat32(7, 0x22);  // entry 1 is three bytes short of whole
    EXPECT_TRUE(ReadFatEntry(0, kFat32Code, fat32));
    EXPECT_FALSE(ReadFatEntry(1, kFat32Code, fat32));

    // Offsets are computed wide enough not to wrap back into the image.
    constexpr std::uint32_t kLast = std::numeric_limits<std::uint32_t>::max();
    for (std::uint16_t type : {kFat12Code, kFat16Code, kFat32Code}) {
        EXPECT_FALSE(ReadFatEntry(kLast, type, fat12)) << "type " << type;
    }
    EXPECT_FALSE(ReadFatEntry(2, 0, fat16));  // not a FAT type
    EXPECT_FALSE(ReadFatEntry(0, kFat16Code, {}));
}

}  // namespace
}  // namespace brovane

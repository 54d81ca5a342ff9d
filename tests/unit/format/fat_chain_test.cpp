#include "format/fat_chain.h"

#include <gtest/gtest.h>

#include <vector>

#include "format/fat_entry.h"
#include "format_test_bytes.h"

namespace brovane {
namespace {

using test::Bytes;
using Clusters = std::vector<std::uint32_t>;

// ChainLength, then ListChain into a list of exactly that size.
Clusters Chain(std::uint32_t first, std::uint16_t type, const Bytes& fat) {
    Clusters list(ChainLength(first, type, fat), 0xDEAD);
    EXPECT_EQ(ListChain(first, type, list, fat), list.size());
    return list;
}

TEST(FatChainTest, EndsAtZeroOrTheExactEndValue) {
    Bytes fat16(64, 0);
    test::SetFat16(fat16, 2, 3);
    test::SetFat16(fat16, 3, 0xFFFF);
    test::SetFat16(fat16, 5, 0);
    EXPECT_EQ(Chain(2, kFat16Code, fat16), (Clusters{2, 3}));
    EXPECT_EQ(Chain(5, kFat16Code, fat16), (Clusters{5}));

    // The other reserved values are cluster numbers and are followed.
    Bytes big16(2 * 0x10000, 0);
    test::SetFat16(big16, 2, 0xFFF8);
    test::SetFat16(big16, 0xFFF8, 0xFFF7);
    test::SetFat16(big16, 0xFFF7, 0xFFFF);
    EXPECT_EQ(Chain(2, kFat16Code, big16), (Clusters{2, 0xFFF8, 0xFFF7}));

    Bytes fat12(6144, 0);  // all 4096 entries
    test::SetFat12(fat12, 2, 0xFF8);
    test::SetFat12(fat12, 0xFF8, 0xFFE);
    test::SetFat12(fat12, 0xFFE, 0xFFF);
    EXPECT_EQ(Chain(2, kFat12Code, fat12), (Clusters{2, 0xFF8, 0xFFE}));
}

TEST(FatChainTest, Fat32ListsNumbersWithTopBitsCleared) {
    Bytes fat32(64, 0);
    test::SetFat32(fat32, 2, 0xF0000003);
    test::SetFat32(fat32, 3, 0xA0000004);
    test::SetFat32(fat32, 4, 0xFFFFFFFF);  // the end value once masked
    EXPECT_EQ(Chain(0xF0000002, kFat32Code, fat32), (Clusters{2, 3, 4}));
}

TEST(FatChainTest, FirstClusterThatOpensNoChain) {
    Bytes fat(64, 0);
    test::SetFat16(fat, 2, 0xFFFF);
    const std::pair<std::uint32_t, std::uint16_t> none[] = {
        {0, kFat12Code},          {0, kFat16Code},          {0, kFat32Code},
        {0xF0000000, kFat32Code}, {0xFFFF, kFat16Code},     {0xFFF, kFat12Code},
        {0x0FFFFFFF, kFat32Code}, {0xFFFFFFFF, kFat32Code}, {2, 0}};  // 0: not a FAT type
    for (const auto& [first, type] : none) {
        EXPECT_EQ(ChainLength(first, type, fat), 0u) << first << ", type " << type;
    }
    EXPECT_EQ(ChainLength(2, kFat16Code, fat), 1u);
}

TEST(FatChainTest, EntryPastTheImageEndsTheChainBeforeThatCluster) {
    Bytes fat16(8, 0);  // entries 0 to 3
    test::SetFat16(fat16, 2, 3);
    test::SetFat16(fat16, 3, 0xFFF8);
    EXPECT_EQ(Chain(2, kFat16Code, fat16), (Clusters{2, 3}));
    EXPECT_EQ(ChainLength(4, kFat16Code, fat16), 0u);

    Bytes fat32(16, 0);
    test::SetFat32(fat32, 2, 0x0FFFFFF8);
    EXPECT_EQ(Chain(2, kFat32Code, fat32), (Clusters{2}));
}

TEST(FatChainTest, CircleEndsWhereItCloses) {
    Bytes fat(64, 0);
    test::SetFat16(fat, 2, 3);
    test::SetFat16(fat, 3, 4);
    test::SetFat16(fat, 4, 3);
    test::SetFat16(fat, 9, 9);
    EXPECT_EQ(Chain(2, kFat16Code, fat), (Clusters{2, 3, 4}));
    EXPECT_EQ(Chain(9, kFat16Code, fat), (Clusters{9}));

    // Every length of lead-in and circle, where the circle-finding steps
    // (powers of two) fall differently.
    for (std::uint32_t lead = 0; lead < 12; ++lead) {
        for (std::uint32_t circle = 1; circle < 40; ++circle) {
            Bytes ring(2 * 64, 0);
            Clusters expected;
            for (std::uint32_t c = 2; c < 2 + lead + circle; ++c) {
                test::SetFat16(ring, c, c + 1);
                expected.push_back(c);
            }
            test::SetFat16(ring, 1 + lead + circle, 2 + lead);
            EXPECT_EQ(Chain(2, kFat16Code, ring), expected)
                << "lead " << lead << " circle " << circle;
        }
    }
}

TEST(FatChainTest, LongCircleIsWalkedInLinearTime) {
    constexpr std::uint32_t kEntries = 1u << 21;
    Bytes fat(4 * std::size_t{kEntries}, 0);
    for (std::uint32_t c = 2; c + 1 < kEntries; ++c) {
        test::SetFat32(fat, c, c + 1);
    }
    test::SetFat32(fat, kEntries - 1, 3);
    EXPECT_EQ(ChainLength(2, kFat32Code, fat), kEntries - 2);
}

TEST(FatChainTest, ListOfOtherSizes) {
    Bytes fat(64, 0);
    test::SetFat16(fat, 2, 5);
    test::SetFat16(fat, 5, 0xFFFF);
    Clusters longer(4, 0xDEAD);
    EXPECT_EQ(ListChain(2, kFat16Code, longer, fat), 2u);
    EXPECT_EQ(longer, (Clusters{2, 5, 0, 0}));
    Clusters shorter(1, 0xDEAD);
    EXPECT_EQ(ListChain(2, kFat16Code, shorter, fat), 1u);
    EXPECT_EQ(shorter, (Clusters{2}));
}

}  // namespace
}  // namespace brovane

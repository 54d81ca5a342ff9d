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

// A chain ends at a free entry or the exact end value (the other reserved
// values are followed as cluster numbers), before a cluster whose entry lies
// past the image, or where a circle closes; FAT32 clears the top bits. Cluster
// 0, an end value, or a type that is no FAT's opens no chain.
TEST(FatChainTest, EndsAtZeroTheExactEndValueTheImageEndOrWhereACircleCloses) {
    struct Case {
        std::uint16_t type;
        std::size_t bytes;
        Clusters path;  // the first cluster, then each entry's value in turn
        Clusters expected;
    };
    const Case cases[] = {
        {kFat16Code, 64, {2, 3, 0xFFFF}, {2, 3}},
        {kFat16Code, 64, {5, 0}, {5}},
        {kFat16Code, 0x20000, {2, 0xFFF8, 0xFFF7, 0xFFFF}, {2, 0xFFF8, 0xFFF7}},
        {kFat12Code, 6144, {2, 0xFF8, 0xFFE, 0xFFF}, {2, 0xFF8, 0xFFE}},
        {kFat32Code, 64, {0xF0000002, 0xF0000003, 0xA0000004, 0xFFFFFFFF}, {2, 3, 4}},
        {kFat16Code, 8, {2, 3, 0xFFF8}, {2, 3}},  // entries 0 to 3
        {kFat16Code, 8, {4}, {}},
        {kFat32Code, 16, {2, 0x0FFFFFF8}, {2}},
        {kFat16Code, 64, {2, 3, 4, 3}, {2, 3, 4}},
        {kFat16Code, 64, {9, 9}, {9}},
        // First clusters that open no chain.
        {kFat12Code, 64, {0}, {}},
        {kFat16Code, 64, {0}, {}},
        {kFat32Code, 64, {0}, {}},
        {kFat32Code, 64, {0xF0000000}, {}},
        {kFat16Code, 64, {0xFFFF}, {}},
        {kFat12Code, 64, {0xFFF}, {}},
        {kFat32Code, 64, {0x0FFFFFFF}, {}},
        {kFat32Code, 64, {0xFFFFFFFF}, {}},
        {0, 64, {2, 0xFFFF}, {}},  // 0: not a FAT type
    };
    for (const Case& c : cases) {
        Bytes fat(c.bytes, 0);
        for (std::size_t i = 0; i + 1 < c.path.size(); ++i) {
            (c.type == kFat12Code   ? test::SetFat12
             : c.type == kFat16Code ? test::SetFat16
                                    : test::SetFat32)(fat, c.path[i] & 0x0FFFFFFF, c.path[i + 1]);
        }
        EXPECT_EQ(Chain(c.path[0], c.type, fat), c.expected) << c.path[0] << ", type " << c.type;
    }
}

// Every length of lead-in and circle, where the circle-finding steps (powers
// of two) fall differently.
TEST(FatChainTest, CircleEndsWhereItClosesWhateverItsLength) {
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

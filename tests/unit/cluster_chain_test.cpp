#include "volume/cluster_chain.h"

#include <gtest/gtest.h>

#include <vector>

#include "format/fat_entry.h"
#include "format/format_test_bytes.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

using Clusters = std::vector<std::uint32_t>;

// Every way a chain ends, over one FAT16 image of 64 entries.
TEST(ClusterChainTest, ListsItsClustersAndSaysHowItEnded) {
    test::Bytes fat(128, 0);
    const std::pair<std::uint32_t, std::uint32_t> links[] = {
        {2, 3},   {3, 0xFFFF},               // 2 -> 3 -> end mark
        {10, 11},                            // 10 -> 11, whose entry is free
        {20, 21}, {21, 22},    {22, 20},     // a circle
        {30, 31}, {31, 200},                 // 200's entry lies past the FAT
        {40, 1},  {1, 41},     {41, 0xFFFF}  // through cluster 1, then an end mark
    };
    for (auto [cluster, next] : links) {
        test::SetFat16(fat, cluster, next);
    }
    struct Case {
        std::uint32_t first;
        Clusters clusters;
        ChainEnd end;
    };
    const Case cases[] = {
        {2, {2, 3}, ChainEnd::kEndMark},
        {10, {10, 11}, ChainEnd::kFreeEntry},
        {21, {21, 22, 20}, ChainEnd::kRepeat},
        {30, {30, 31}, ChainEnd::kPastFat},
        {40, {40, 1, 41}, ChainEnd::kReservedCluster},
        {0, {}, ChainEnd::kNoChain},
        {0xFFFF, {}, ChainEnd::kNoChain},
        {100, {}, ChainEnd::kPastFat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        MemoryPlatform platform;
        std::optional<ClusterChain> chain = ListClusterChain(platform, c.first, kFat16Code, fat);
        ASSERT_TRUE(chain);
        const auto listed = chain->Clusters();
        EXPECT_EQ(Clusters(listed.begin(), listed.end()), c.clusters);
        EXPECT_EQ(chain->End(), c.end);
        // A chain of no clusters takes no memory.
        EXPECT_EQ(platform.LiveBlocks(), c.clusters.empty() ? 0u : 1u);
    }
    MemoryPlatform platform;
    platform.settings.failingAllocation = 1;
    EXPECT_FALSE(ListClusterChain(platform, 2, kFat16Code, fat));
}

}  // namespace
}  // namespace brovane

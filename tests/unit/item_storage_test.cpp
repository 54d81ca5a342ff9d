#include "tree/item_storage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/memory_platform.h"

namespace brovane {
namespace {

class ItemStorageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(storage.rootPool.Allocate());
        ASSERT_TRUE(storage.itemPool.Allocate());
    }
    MemoryPlatform platform;
    ItemStorage storage{platform};
};

TEST_F(ItemStorageTest, RecordsKeepTheirPlaceAndContentsWhileThePoolGrows) {
    // More names than 2 MiB hold: the pool grows and no record moves.
    std::vector<TreeItemInfo*> records;
    const std::string name(200, 'n');
    for (std::uint32_t i = 0; i < 20000; ++i) {
        TreeItemInfo* record = AppendNamedItemRecord(storage, name + std::to_string(i));
        ASSERT_NE(record, nullptr) << i;
        record->firstCluster = i;
        records.push_back(record);
    }
    EXPECT_GT(storage.itemPool.UsedBytes(), kItemPoolBytes);
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i]->firstCluster, i);
        ASSERT_STREQ(records[i]->nameText, (name + std::to_string(i)).c_str());
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(records[i]) % alignof(TreeItemInfo), 0u);
    }
}

TEST_F(ItemStorageTest, NameIsStoredBehindItsRecord) {
    std::string longest(255, 'L');
    std::size_t before = storage.itemPool.UsedBytes();
    TreeItemInfo* record = AppendNamedItemRecord(storage, longest);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(static_cast<const void*>(record->nameText), static_cast<const void*>(record + 1));
    EXPECT_EQ(std::strlen(record->nameText), 255u);
    std::size_t used = storage.itemPool.UsedBytes() - before;
    EXPECT_GE(used, sizeof(TreeItemInfo) + 256);
    EXPECT_LT(used, sizeof(TreeItemInfo) + 256 + alignof(TreeItemInfo));
    TreeItemInfo* next = AppendItemRecord(storage);
    EXPECT_GE(reinterpret_cast<const char*>(next), record->nameText + 256);
    EXPECT_EQ(next->nameText, nullptr);
}

TEST_F(ItemStorageTest, ResetReusesPlacesClearedToZero) {
    TreeItemInfo* first = AppendNamedItemRecord(storage, "OLDNAME.TXT");
    std::memset(static_cast<void*>(first), 0xAB, sizeof(TreeItemInfo));
    TreeItemInfo* root = AppendRootRecord(storage);
    root->int13Extensions = 0x1234;
    ResetItemPools(storage);
    TreeItemInfo* again = AppendItemRecord(storage);
    EXPECT_EQ(again, first);
    TreeItemInfo zero{};
    EXPECT_EQ(std::memcmp(again, &zero, sizeof zero), 0);
    EXPECT_EQ(AppendRootRecord(storage), root);
    EXPECT_EQ(root->int13Extensions, 0u);
}

TEST(ItemStorageFailures, NoMemoryMeansNoRecordNeverAnOverrun) {
    MemoryPlatform platform;
    ItemStorage storage{platform};
    EXPECT_EQ(AppendItemRecord(storage), nullptr);  // not allocated yet
    platform.settings.failingAllocation = 1;
    EXPECT_FALSE(storage.rootPool.Allocate());
    ASSERT_TRUE(storage.rootPool.Allocate());
    // The root pool's first block holds ten records; the eleventh needs a
    // block that cannot be had.
    platform.settings.failingAllocation = platform.counters.allocations + 1;
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(AppendRootRecord(storage), nullptr);
    }
    EXPECT_EQ(AppendRootRecord(storage), nullptr);
    EXPECT_NE(AppendRootRecord(storage), nullptr);  // the next try may grow
    storage.rootPool.Release();
    EXPECT_EQ(platform.LiveBlocks(), 0u);
}

}  // namespace
}  // namespace brovane

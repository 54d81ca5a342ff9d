// The store behind a directory listing's rows, and the blocks a listing
// holds. What listings show, on real and damaged disks, is the acceptance
// tests' and the corpus's.
#include "present/directory_row_store.h"

#include <gtest/gtest.h>

#include "format/format_test_bytes.h"
#include "present/right_pane_state.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using test::Bytes;

// The figures below are those of 64-bit builds: a store for one sector
// holds 2472 bytes, a row 48 bytes, its name and a zero byte.
static_assert(sizeof(DirectoryRow) == 48);

TEST(DirectoryRowStoreTest, SizedForTheWorstCaseAndNeverOverrun) {
    MemoryPlatform platform;
    DirectoryRowStore store;
    EXPECT_FALSE(MakeDirectoryRowStore(platform, store, 434362));  // just past 1 GiB
    EXPECT_FALSE(MakeDirectoryRowStore(platform, store, UINT32_MAX));
    EXPECT_EQ(platform.counters.allocations, 0u);            // refused before asking for memory
    ASSERT_TRUE(MakeDirectoryRowStore(platform, store, 0));  // a valid store of no rows
    EXPECT_FALSE(AppendDirectoryRow(store, DirectoryRow{}, {}, 0));

    // The most a directory can ask of its store: slots and short entries in
    // turn, every byte the name walk reads nonzero and no end bit, so each
    // short entry takes its name from up to 20 entries in front of it.
    Bytes worst(32 * 512, 0x31);
    for (std::size_t entry = 0; entry < worst.size() / 32; entry += 2) {
        test::PutSlot(worst, entry, 0x01, "slot characte");
        worst[entry * 32 + 32 + 11] = 0x20;
    }
    ASSERT_TRUE(MakeDirectoryRowStore(platform, store, 32));
    std::optional<std::uintptr_t> index;
    for (std::size_t entry = 1; entry < worst.size() / 32; entry += 2) {
        ASSERT_TRUE(index = AppendDirectoryRow(store, DirectoryRow{}, worst, entry)) << entry;
    }
    EXPECT_EQ(FindDirectoryRow(store, *index)->longName.size(), 260u);
    EXPECT_LE(store.used, store.block.size());

    // A store for one sector offered names of 260 characters behind a row
    // without a name: seven whole rows, then one whose name is cut to the
    // 211 characters that fit, and no more.
    Bytes data(32 * 512, 0);
    for (std::size_t entry = 21; entry < data.size() / 32; entry += 21) {
        for (std::size_t slot = 1; slot <= 20; ++slot) {
            test::PutSlot(data, entry - slot, slot == 20 ? 0x54 : static_cast<std::uint8_t>(slot),
                          std::string(13, static_cast<char>('a' + entry / 21)));
        }
        test::PutShortEntry(data, entry, "LONG    TXT", 0x20);
    }
    ASSERT_TRUE(MakeDirectoryRowStore(platform, store, 1));
    std::vector<std::uintptr_t> rows{*AppendDirectoryRow(store, DirectoryRow{}, data, 0)};
    for (std::size_t entry = 21; entry < data.size() / 32; entry += 21) {
        if (!(index = AppendDirectoryRow(store, DirectoryRow{}, data, entry))) {
            break;
        }
        rows.push_back(*index);
    }
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(store.used, 2472u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(FindDirectoryRow(store, rows[i])->longName,
                  std::string(i < 8 ? 260 : 211, static_cast<char>('a' + i)));
    }
    // No row at an index the store does not hold, or too near its end.
    for (std::uintptr_t at :
         {std::uintptr_t{2472}, std::uintptr_t{2472 - 48}, ~std::uintptr_t{0}}) {
        EXPECT_FALSE(FindDirectoryRow(store, at)) << at;
    }
    ReleaseDirectoryRowStore(store);
    EXPECT_FALSE(FindDirectoryRow(store, rows[0]));
}

TEST(DirectoryListingTest, ListingsHoldTwoBlocksAndReleaseThemOnce) {
    WalkHarness run;
    run.PlaceDescription(
        "disk size=16M\npartition type=0x06 start=2048 size=20000\nfat16\n"
        "dir /DOCS clusters=10,11\n");
    run.Start();
    const std::string docs = "Hard Disk 1/#1/Root Directory/#1";
    run.OpenParents(docs);
    const std::size_t before = run.platform.LiveBlocks();
    run.Batch("select " + docs + "\n");
    EXPECT_EQ(run.platform.LiveBlocks(), before + 2);  // the clusters and the store; no list
    EXPECT_EQ(run.session.pane.currentBuffer.size(), 2u * 4 * 512);
    run.Batch("select Hard Disk 1/#1/Root Directory\n");
    EXPECT_EQ(run.platform.LiveBlocks(), before + 2);
    ReleasePaneBlocks(run.session.pane);
    ReleasePaneBlocks(run.session.pane);
    EXPECT_EQ(run.platform.LiveBlocks(), before);
    EXPECT_EQ(run.platform.counters.badFrees, 0u);
}

}  // namespace
}  // namespace brovane

// What the structure presenters do beyond what brovane-batch prints: the
// dispatch's reset of the pane and its ignore flag, the FAT grids' column
// widths, and a FAT presenter given less than its FAT. The rows of tables,
// boot records and FAT grids are the acceptance tests' (against mmls, fsstat
// and the image's bytes) and the corpus's; failures the fault matrix's.
#include "present/table_presenters.h"

#include <gtest/gtest.h>

#include "app/selection_guard.h"
#include "present/fat_presenters.h"
#include "walk_harness.h"

namespace brovane {
namespace {

constexpr char kGridDisk[] = R"(
disk size=64M
partition type=0x01 start=2048 size=4000
fat12 sectors_per_fat=4
partition type=0x06 start=8192 size=20000
fat16
partition type=0x0C start=30720 size=70000
fat32 sectors_per_cluster=1
)";

struct GridRun : WalkHarness {
    GridRun() {
        PlaceDescription(kGridDisk);
        Start();
        Batch(
            "expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#2\n"
            "expand Hard Disk 1/#3\n");
    }
};

TEST(TablePresenterTest, DispatchResetsThePaneStateAndHonoursTheIgnoreFlag) {
    GridRun run;
    RightPaneState& pane = run.session.pane;
    pane.viewMode = VM_SECTOR_DUMP;
    pane.canGoNext = true;
    pane.currentIndex = 7;
    run.Batch("select Hard Disk 1\n");
    EXPECT_EQ(std::tuple(pane.viewMode, pane.canGoNext, pane.currentIndex, pane.currentItem.kind,
                         pane.currentBuffer.size()),
              std::tuple(VM_NONE, false, 0u, IK_HARD_DISK, 512u));
    {
        SelectionChangeGuard guard(run.session.ignoreSelectionChange);
        run.screen.SetStatusText(kProgressPane, "untouched");
        run.Batch("select Hard Disk 1/#1\n");
        EXPECT_EQ(pane.currentItem.kind, IK_HARD_DISK);
        EXPECT_EQ(run.screen.StatusText(kProgressPane), "untouched");
    }
    EXPECT_FALSE(run.session.ignoreSelectionChange);
    EXPECT_EQ(Split(run.Batch("list\n")).size(), 41u);
}

TEST(TablePresenterTest, FatGridsHaveTheirTypesWidths) {
    GridRun run;
    for (auto [path, width] :
         {std::pair{"Hard Disk 1/#1/FAT 1", 35}, std::pair{"Hard Disk 1/#2/FAT 2", 40},
          std::pair{"Hard Disk 1/#3/FAT 1", 75}}) {
        run.Batch(std::string("select ") + path + "\n");
        const auto& columns = run.screen.Columns();
        ASSERT_EQ(columns.size(), 17u);
        EXPECT_EQ(std::tuple(columns[0].heading, columns[0].width), std::tuple("FAT Entry", 100));
        for (std::size_t column = 1; column < 17; ++column) {
            EXPECT_EQ(std::tuple(columns[column].width, columns[column].align),
                      std::tuple(width, ColumnAlign::Left))
                << path;
        }
    }
}

TEST(TablePresenterTest, FatPresenterNeverReadsPastTheBufferItIsGiven) {
    GridRun run;
    TreeItemInfo item = run.Record("Hard Disk 1/#2/FAT 1");
    ASSERT_EQ(item.sectorCount, 20u);
    ASSERT_TRUE(ReplaceCurrentBuffer(run.platform, run.session.pane, 1));
    const std::size_t transfers = run.platform.transfers.size();
    ShowFat16(run.session.Io(), run.session.pane, item);
    EXPECT_EQ(run.platform.transfers.size(), transfers);
    EXPECT_EQ(run.printed, WalkHarness::Messages({"FAT not accessible!"}));
    ASSERT_EQ(run.screen.GetListItemCount(), 320);
    EXPECT_EQ(run.screen.CellText(15, 16), "0000");
    EXPECT_EQ(run.screen.CellText(16, 0), "00000100");
    EXPECT_EQ(run.screen.CellText(16, 1), "");  // past the one sector held
}

}  // namespace
}  // namespace brovane

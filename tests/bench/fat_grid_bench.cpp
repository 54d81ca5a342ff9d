// A FAT32 grid of a 16 MiB FAT (32,768 sectors, 262,144 rows) built by
// ShowFat32, which reads the FAT from an in-memory disk and inserts one
// callback row per run of sixteen entries without formatting a cell: once
// through the text front-end (which keeps every row), once through a
// screen that only counts the rows. Then the cells of one screen of rows
// formatted through the cell-text entry point.
#include <benchmark/benchmark.h>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "present/cell_text.h"
#include "present/fat_presenters.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

constexpr std::uint32_t kFatSectors = 32768;
constexpr int kExpectedRows = 262144;

// The text front-end with the rows counted instead of kept.
class CountingScreen : public TextScreen {
  public:
    int InsertCallbackListItem(int row, std::uintptr_t) override {
        ++rows;
        return row;
    }
    void DeleteAllListItems() override { rows = 0; }
    int GetListItemCount() override { return rows; }
    int rows = 0;
};

TreeItemInfo Fat32Item() {
    TreeItemInfo item{};
    item.driveNumber = 0x80;
    item.kind = IK_FAT32;
    item.fatType = FT_FAT32;
    item.relativeSector = 32;
    item.sectorCount = kFatSectors;
    item.heads = 16;
    item.sectorsPerTrack = 63;
    item.volumeSectors = 4 * kFatSectors;
    return item;
}

// A session on one in-memory disk, its current buffer as large as the FAT.
struct GridBench {
    explicit GridBench(TextScreen& screenRef) : screen(screenRef), session(platform, screen) {
        platform.AddHardDisk(4 * kFatSectors);
        screen.SetEvents(&session);
        InitDiskAccess(session);
        ReplaceCurrentBuffer(platform, session.pane, kFatSectors);
    }
    MemoryPlatform platform;
    TextScreen& screen;
    Session session;
};

template <typename Screen>
void Fat32GridOfSixteenMebibytes(benchmark::State& state) {
    Screen screen;
    GridBench bench(screen);
    const TreeItemInfo item = Fat32Item();
    for (auto _ : state) {
        ShowFat32(bench.session.Io(), bench.session.pane, item);
        const DeviceTransferRecord& read = bench.platform.transfers.back();
        if (screen.GetListItemCount() != kExpectedRows || read.moved != kFatSectors * 512) {
            state.SkipWithError("the FAT was not read whole, or rows are missing");
            return;
        }
    }
}
BENCHMARK(Fat32GridOfSixteenMebibytes<TextScreen>)
    ->Name("Fat32GridOfSixteenMebibytes/textScreen")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Fat32GridOfSixteenMebibytes<CountingScreen>)
    ->Name("Fat32GridOfSixteenMebibytes/countingScreen")
    ->Unit(benchmark::kMillisecond);

// 40 rows of 17 columns of a FAT32 grid, and 40 rows of 34 columns of a
// dump, from the middle of the buffer.
void OneScreenOfCells(benchmark::State& state) {
    TextScreen screen;
    GridBench bench(screen);
    RightPaneState& pane = bench.session.pane;
    bool dump = state.range(0) != 0;
    pane.viewMode = dump ? VM_SECTOR_DUMP : VM_FAT32;
    pane.unitSectors = 1;
    const int columns = dump ? 34 : 17;
    const std::uintptr_t step = dump ? 1 : 64;
    const std::uintptr_t first = dump ? 0 : 64 * 100000;
    std::string text;
    for (auto _ : state) {
        for (std::uintptr_t row = 0; row < 40; ++row) {
            for (int column = 0; column < columns; ++column) {
                benchmark::DoNotOptimize(CellText(pane, column, first + row * step, text));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 40 * columns);
}
BENCHMARK(OneScreenOfCells)->Arg(0)->Arg(1)->ArgName("dump")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brovane

BENCHMARK_MAIN();

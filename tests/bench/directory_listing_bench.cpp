// Listing a directory already in memory: 5,000 files, each behind three
// long-name slots (20,000 entries, 1,250 sectors), through ListDirectoryEntries
// into a screen that only counts its rows; then formatting every cell of the
// listing once, as a list drawing all of it would.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix_platform.h"
#include "present/cell_text.h"
#include "present/directory_presenter.h"
#include "screen/screen_operations.h"

namespace brovane {
namespace {

constexpr std::size_t kFiles = 5000;
constexpr std::size_t kSlotsPerFile = 3;
constexpr std::size_t kEntries = kFiles * (kSlotsPerFile + 1);
constexpr std::uint32_t kSectors = kEntries * 32 / 512;

// A screen whose list only counts rows (and keeps their item data when
// asked to); everything else does nothing.
class RowCountingScreen : public ScreenOperations {
  public:
    int rows = 0;
    int columns = 0;
    std::vector<std::uintptr_t>* itemData = nullptr;

    TreeItemHandle InsertTreeItem(TreeItemHandle, TreeItemHandle, std::string_view, bool,
                                  TreeItemInfo*) override {
        return kNoTreeItem;
    }
    TreeItemHandle InsertCallbackTreeItem(TreeItemHandle, TreeItemHandle, bool,
                                          TreeItemInfo*) override {
        return kNoTreeItem;
    }
    void DeleteAllTreeItems() override {}
    TreeItemHandle GetCaretItem() override { return kNoTreeItem; }
    void SelectTreeItem(TreeItemHandle) override {}
    TreeItemHandle HitTestTreeAtCursor() override { return kNoTreeItem; }
    TreeItemInfo* GetTreeItemInfo(TreeItemHandle) override { return nullptr; }
    void DeleteAllListItems() override { rows = 0; }
    int GetListColumnCount() override { return columns; }
    void DeleteListColumn(int) override { --columns; }
    void InsertListColumn(int, std::string_view, ColumnAlign, int) override { ++columns; }
    int InsertListItem(int row, std::string_view) override { return ++rows, row; }
    int InsertCallbackListItem(int row, std::uintptr_t data) override {
        if (itemData != nullptr) {
            itemData->push_back(data);
        }
        return ++rows, row;
    }
    void SetListItemText(int, int, std::string_view) override {}
    void SetListItemState(int, bool, bool) override {}
    int GetListItemCount() override { return rows; }
    bool IsListItemSelected(int) override { return false; }
    bool IsListItemFocused(int) override { return false; }
    int HitTestListAtCursor() override { return -1; }
    void RedrawListItems(int, int) override {}
    void SetStatusText(int, std::string_view) override {}
    bool IsMenuChecked(int) override { return false; }
    void SetMenuChecked(int, bool) override {}
    void Notify(std::string_view) override {}
    bool Confirm(std::string_view) override { return false; }
    int ShowPopupMenu(const std::vector<PopupEntry>&) override { return 0; }
    void ShowDocument(std::string_view) override {}
    bool EditBytesDialog(EditBytes&) override { return false; }
};

void PutU16(std::uint8_t* at, unsigned value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

// File i: "Quarterly report number NNNNN.txt" (33 characters, three slots),
// short name REPNNNNN.TXT.
void FillDirectory(std::uint8_t* data) {
    static constexpr std::array<std::size_t, 13> kOffsets{1,  3,  5,  7,  9,  14, 16,
                                                          18, 20, 22, 24, 28, 30};
    for (std::size_t file = 0; file < kFiles; ++file) {
        char name[40];
        std::snprintf(name, sizeof name, "Quarterly report number %05zu.txt", file);
        const std::size_t length = std::strlen(name);
        std::uint8_t* base = data + file * (kSlotsPerFile + 1) * 32;
        for (std::size_t slot = 0; slot < kSlotsPerFile; ++slot) {
            // The slot with the name's end stands first, farthest from the entry.
            std::uint8_t* entry = base + (kSlotsPerFile - 1 - slot) * 32;
            entry[0] =
                static_cast<std::uint8_t>((slot + 1) | (slot + 1 == kSlotsPerFile ? 0x40 : 0));
            entry[11] = 0x0F;
            for (std::size_t i = 0; i < kOffsets.size(); ++i) {
                const std::size_t at = slot * 13 + i;
                PutU16(entry + kOffsets[i], at < length    ? static_cast<unsigned char>(name[at])
                                            : at == length ? 0u
                                                           : 0xFFFFu);
            }
        }
        std::uint8_t* entry = base + kSlotsPerFile * 32;
        char shortName[12];
        std::snprintf(shortName, sizeof shortName, "REP%05zuTXT", file);
        std::memcpy(entry, shortName, 11);
        entry[11] = 0x20;
        PutU16(entry + 24, 0x2A65);
        PutU16(entry + 26, static_cast<unsigned>(file + 2));
    }
}

struct Listing {
    Listing() : platform(PlatformOptions{}) {
        pane.currentBuffer = PlatformBlock::Allocate(platform, std::size_t{kSectors} * 512);
        FillDirectory(pane.currentBuffer.data());
        item.sectorCount = kSectors;
        item.fatType = FT_FAT32;
    }
    PosixPlatform platform;
    RowCountingScreen screen;
    RightPaneState pane;
    TreeItemInfo item{};
};

void ListFiveThousandLongNamedFiles(benchmark::State& state) {
    Listing listing;
    for (auto _ : state) {
        ListDirectoryEntries(listing.platform, listing.screen, listing.pane, listing.item);
        if (listing.screen.rows != static_cast<int>(kFiles)) {
            state.SkipWithError("not every file was listed");
            return;
        }
    }
    state.counters["rows"] = listing.screen.rows;
    state.counters["storeBytes"] = static_cast<double>(listing.pane.directoryRows.block.size());
}
BENCHMARK(ListFiveThousandLongNamedFiles)->Unit(benchmark::kMillisecond);

void FormatEveryCellOfTheListing(benchmark::State& state) {
    Listing listing;
    std::vector<std::uintptr_t> indexes;
    listing.screen.itemData = &indexes;
    ListDirectoryEntries(listing.platform, listing.screen, listing.pane, listing.item);
    std::string text;
    std::size_t characters = 0;
    for (auto _ : state) {
        for (std::uintptr_t index : indexes) {
            for (int column = 0; column < 8; ++column) {
                characters += CellText(listing.pane, column, index, text).size();
            }
        }
    }
    benchmark::DoNotOptimize(characters);
    state.counters["cells"] = static_cast<double>(indexes.size() * 8);
}
BENCHMARK(FormatEveryCellOfTheListing)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brovane

BENCHMARK_MAIN();

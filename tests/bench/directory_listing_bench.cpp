// Listing a directory already in memory: 5,000 files, each behind three
// long-name slots (20,000 entries, 1,250 sectors), through ListDirectoryEntries
// into a screen that only counts its rows.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "batch/text_screen.h"
#include "platform/posix_platform.h"
#include "present/directory_presenter.h"

namespace brovane {
namespace {

constexpr std::size_t kFiles = 5000;
constexpr std::size_t kSlotsPerFile = 3;
constexpr std::size_t kEntries = kFiles * (kSlotsPerFile + 1);
constexpr std::uint32_t kSectors = kEntries * 32 / 512;

// The text front-end with the rows counted instead of kept.
class RowCountingScreen : public TextScreen {
  public:
    int InsertCallbackListItem(int row, std::uintptr_t) override { return ++rows, row; }
    void DeleteAllListItems() override { rows = 0; }
    int GetListItemCount() override { return rows; }
    int rows = 0;
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

}  // namespace
}  // namespace brovane

BENCHMARK_MAIN();

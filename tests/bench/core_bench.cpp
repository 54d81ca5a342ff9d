// Benchmarks for the core's speed and memory goals, each run through the
// user's actions on the text front-end:
// - start-up on ten disk images: under 50 ms of CPU;
// - listing a directory of 5,000 long-named files (15,000 entries): under
//   5 ms once its data is in memory; expanding it in the tree: under 20 ms
//   beyond its reads. The disk is in memory, so its reads are copies and
//   the figures are upper bounds of both;
// - tree storage for 100,000 directory entries: under 32 MiB (counter);
// - a FAT32 grid of a 16 MiB FAT (262,144 rows): under 50 ms; the cells of
//   one screen of a grid or a dump: under 1 ms;
// - the search's matching of 1 MiB of random bytes (the CPU it spends
//   beyond the read): under 1 ms, for text, text in any case and two bytes;
//   and of two bytes over zeros, where the first byte is everywhere.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "imagebuilder/description_parser.h"
#include "imagebuilder/image_builder.h"
#include "imaging/search_pattern.h"
#include "platform/posix_platform.h"
#include "present/cell_text.h"
#include "present/fat_presenters.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

namespace ib = imagebuilder;

// A figure that does not measure what it names is marked as an error.
void Check(benchmark::State& state, bool measured, const char* missing) {
    if (!measured) {
        state.SkipWithError(missing);
    }
}

void StartUpOnTenImages(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "brovane-bench";
    std::filesystem::create_directories(folder);
    PlatformOptions options;
    for (int i = 0; i < 10; ++i) {
        const std::string image = (folder / std::to_string(i)).string();
        std::ofstream{image};
        std::filesystem::resize_file(image, i < 2 ? 1474560 : 64 << 20);
        (i < 2 ? options.floppies : options.disks).push_back(image);
    }
    for (auto _ : state) {
        PosixPlatform platform(options);
        TextScreen screen;
        Session session(platform, screen);
        screen.SetEvents(&session);
        InitDiskAccess(session);
        Check(state, screen.Children(kTreeRoot).size() == 10, "not every drive was listed");
        ReleaseDiskAccess(session);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(StartUpOnTenImages)->Unit(benchmark::kMillisecond);

constexpr std::uint32_t kVolumeStart = 2048;
constexpr std::uint32_t kVolumeSectors = 200000;
constexpr int kFiles = 5000;
constexpr int kLinks = 20;  // directories that all lead to BIG

// A FAT32 volume whose root holds /BIG (5,000 files "File number
// NNNNN.txt": two slots and a short entry each) and twenty directories whose
// first cluster is BIG's: expanding them all lists 100,000 entries.
const ib::SparseImage& BenchImage() {
    static const ib::SparseImage image = [] {
        std::string text = "disk sectors=" + std::to_string(kVolumeStart + kVolumeSectors) +
                           "\npartition type=0x0C start=2048 size=200000\n"
                           "fat32 sectors_per_cluster=8\ndir /BIG lfn=\"Big directory\"\n";
        for (int i = 0; i < kFiles; ++i) {
            char number[8];
            std::snprintf(number, sizeof number, "%05d", i);
            text += std::string("file /BIG/F") + number + ".TXT lfn=\"File number " + number +
                    ".txt\"\n";
        }
        for (int i = 0; i < kLinks; ++i) {
            text += "dir /LINK" + std::to_string(i) + " first_cluster=3\n";  // BIG's cluster
        }
        ib::Disk disk;
        ib::SparseImage built(0);
        std::string error;
        if (!ib::ParseDescription(text, disk, error) || !ib::BuildImage(disk, built, error)) {
            std::fprintf(stderr, "bench image: %s\n", error.c_str());
        }
        return built;
    }();
    return image;
}

// A session on the bench disk with the volume and its root expanded.
struct BenchSession {
    BenchSession() : session(platform, screen) {
        MemoryDisk& disk = *platform.FindDisk(platform.AddHardDisk(kVolumeStart + kVolumeSectors));
        disk.heads = 255;
        disk.sectorsPerTrack = 63;
        for (std::uint64_t offset : BenchImage().WrittenPageOffsets()) {
            PokeBytes(disk, offset, BenchImage().Read(offset, ib::SparseImage::kPageBytes));
        }
        screen.SetEvents(&session);
        InitDiskAccess(session);
        TreeItemHandle item = screen.Children(kTreeRoot).at(0);
        screen.Expand(item);
        screen.Expand(item = screen.Children(item).at(0));  // the volume
        screen.Expand(root = screen.Children(item).back());
    }
    MemoryPlatform platform;
    TextScreen screen;
    Session session;
    TreeItemHandle root = kNoTreeItem;
};

// BIG selected in the tree: its FAT and clusters read, 5,000 rows listed.
void ListFiveThousandLongNamedFiles(benchmark::State& state) {
    BenchSession bench;
    const TreeItemHandle big = bench.screen.Children(bench.root).at(0);
    for (auto _ : state) {
        bench.screen.SelectTreeItem(kNoTreeItem);
        bench.screen.SelectTreeItem(big);
        Check(state, bench.screen.GetListItemCount() == kFiles, "not every file was listed");
    }
}
BENCHMARK(ListFiveThousandLongNamedFiles)->Unit(benchmark::kMillisecond);

// The first expansion of each link to BIG: 15,000 entries walked, 5,000
// children stored and inserted; then the storage the 100,000 entries take.
void ExpandFiveThousandLongNamedFiles(benchmark::State& state) {
    BenchSession bench;
    const std::size_t before = bench.session.items.itemPool.UsedBytes();
    std::vector<TreeItemHandle> links = bench.screen.Children(bench.root);
    links.erase(links.begin());  // BIG itself
    std::size_t listed = 0;
    for (auto _ : state) {
        const TreeItemHandle link = links.at(listed / kFiles);
        bench.screen.Expand(link);
        listed += bench.screen.Children(link).size();
    }
    Check(state, listed == std::size_t{kFiles} * kLinks, "not every entry was listed");
    state.counters["storageMiB"] =
        static_cast<double>(bench.session.items.itemPool.UsedBytes() - before) / (1 << 20);
}
BENCHMARK(ExpandFiveThousandLongNamedFiles)->Iterations(kLinks)->Unit(benchmark::kMillisecond);

constexpr std::uint32_t kFatSectors = 32768;

// A session on one in-memory disk with a FAT32 item whose FAT is 16 MiB,
// the current buffer as large as the FAT.
struct GridBench {
    GridBench() : session(platform, screen) {
        platform.AddHardDisk(4 * kFatSectors);
        screen.SetEvents(&session);
        InitDiskAccess(session);
        ReplaceCurrentBuffer(platform, session.pane, kFatSectors);
        item.driveNumber = 0x80;
        item.kind = IK_FAT32;
        item.fatType = FT_FAT32;
        item.relativeSector = 32;
        item.sectorCount = kFatSectors;
        item.heads = 16;
        item.sectorsPerTrack = 63;
        item.volumeSectors = 4 * kFatSectors;
    }
    MemoryPlatform platform;
    TextScreen screen;
    Session session;
    TreeItemInfo item{};
};

void Fat32GridOfSixteenMebibytes(benchmark::State& state) {
    GridBench bench;
    for (auto _ : state) {
        ShowFat32(bench.session.Io(), bench.session.pane, bench.item);
        Check(state, bench.screen.GetListItemCount() == 262144, "rows are missing");
    }
}
BENCHMARK(Fat32GridOfSixteenMebibytes)->Unit(benchmark::kMillisecond);

// 40 rows of 17 columns of a FAT32 grid from the middle of the buffer.
void OneScreenOfCells(benchmark::State& state) {
    GridBench bench;
    RightPaneState& pane = bench.session.pane;
    pane.viewMode = VM_FAT32;
    pane.unitSectors = 1;
    std::string text;
    for (auto _ : state) {
        for (std::uintptr_t row = 0; row < 40; ++row) {
            for (int column = 0; column < 17; ++column) {
                benchmark::DoNotOptimize(CellText(pane, column, 64 * (100000 + row), text));
            }
        }
    }
}
BENCHMARK(OneScreenOfCells)->Unit(benchmark::kMicrosecond);

// Every place of the pattern in 1 MiB of random bytes, as a search run
// hands them to the matcher.
void MatchOneMebibyte(benchmark::State& state) {
    const SearchRequest requests[] = {{"RECOVERME", false, true},
                                      {"RECOVERME", false, false},
                                      {"55 AA", true, true},
                                      {"00 01", true, true}};
    std::string error;
    const PatternMatcher matcher(*PatternOf(requests[state.range(0)], error));
    std::vector<std::uint8_t> data(std::size_t{1} << 20);
    std::uint32_t seed = 12345;
    for (std::uint8_t& byte : data) {
        seed = seed * 1103515245u + 12345u;
        byte = state.range(0) == 3 ? 0 : static_cast<std::uint8_t>(seed >> 23);
    }
    for (auto _ : state) {
        std::size_t hits = 0;
        for (std::size_t at = matcher.Find(data, 0); at != PatternMatcher::npos;
             at = matcher.Find(data, at + 1)) {
            ++hits;
        }
        benchmark::DoNotOptimize(hits);
    }
    const char* labels[] = {"text", "text, any case", "55 AA", "00 01 over zeros"};
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(MatchOneMebibyte)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brovane

BENCHMARK_MAIN();

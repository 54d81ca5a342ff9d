// Directories in the tree: expanding one of 5,000 files with long names
// (15,000 entries with their slots), set against the reads that expansion
// makes; and the item storage that 100,000 listed entries take. The disk
// is built in memory by the image builder and served by the platform's test
// double, so the reads are memory copies.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "disk/sector_run.h"
#include "format/fat_chain.h"
#include "imagebuilder/image_builder.h"
#include "support/memory_platform.h"
#include "tree/item_volume.h"
#include "volume/chain_data.h"
#include "volume/fat_image.h"

namespace brovane {
namespace {

namespace ib = imagebuilder;

constexpr std::uint32_t kVolumeStart = 2048;
constexpr std::uint32_t kVolumeSectors = 200000;
constexpr int kBigFiles = 5000;
constexpr int kLinks = 20;  // directories that all lead to the big one

// A FAT32 volume whose root holds /BIG (5,000 files named "File number
// NNNNN.txt": two slots and a short entry each) and twenty directories
// whose first cluster is BIG's, so that expanding them all lists 100,000
// entries.
ib::Disk BenchDisk() {
    ib::FatVolume volume;
    volume.kind = ib::FatKind::Fat32;
    volume.firstSector = kVolumeStart;
    volume.totalSectors = kVolumeSectors;
    volume.sectorsPerCluster = 8;
    // The root takes cluster 2, BIG the clusters from 3 on.
    volume.entries.push_back(ib::DirectoryEntry("/BIG", "Big directory"));
    for (int i = 0; i < kBigFiles; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%05d", i);
        volume.entries.push_back(ib::FileEntry(std::string("/BIG/F") + number + ".TXT", "",
                                               std::string("File number ") + number + ".txt"));
    }
    for (int i = 0; i < kLinks; ++i) {
        ib::EntryDescription link = ib::DirectoryEntry("/LINK" + std::to_string(i));
        link.firstClusterOverride = 3;
        volume.entries.push_back(link);
    }
    ib::Disk disk;
    disk.sizeBytes = std::uint64_t{kVolumeStart + kVolumeSectors} * kSectorBytes;
    disk.primaries[0] = {0, 0x0C, kVolumeStart, kVolumeSectors, {}, {}};
    disk.volumes.push_back(volume);
    return disk;
}

// The built image, once for every benchmark.
const ib::SparseImage& BenchImage() {
    static const std::unique_ptr<ib::SparseImage> image = [] {
        auto built = std::make_unique<ib::SparseImage>(0);
        std::string error;
        if (!ib::BuildImage(BenchDisk(), *built, error)) {
            std::fprintf(stderr, "bench image: %s\n", error.c_str());
        }
        return built;
    }();
    return *image;
}

// A session on the bench disk with the volume and its root expanded.
struct BenchSession {
    explicit BenchSession(bool diskLibrary) : session(platform, screen) {
        const ib::SparseImage& image = BenchImage();
        unsigned drive = platform.AddHardDisk(kVolumeStart + kVolumeSectors);
        MemoryDisk& disk = *platform.FindDisk(drive);
        disk.heads = 255;
        disk.sectorsPerTrack = 63;
        for (std::uint64_t offset : image.WrittenPageOffsets()) {
            PokeBytes(disk, offset, image.Read(offset, ib::SparseImage::kPageBytes));
        }
        platform.settings.diskLibrary = diskLibrary;
        screen.SetEvents(&session);
        InitDiskAccess(session);
        TreeItemHandle disk1 = screen.Children(kTreeRoot).at(0);
        screen.Expand(disk1);
        volume = screen.Children(disk1).at(0);
        screen.Expand(volume);
        root = screen.Children(volume).back();
        screen.Expand(root);
    }
    TreeItemHandle Child(TreeItemHandle parent, std::size_t index) {
        return screen.Children(parent).at(index);
    }

    MemoryPlatform platform;
    TextScreen screen;
    Session session;
    TreeItemHandle volume = kNoTreeItem;
    TreeItemHandle root = kNoTreeItem;
};

// The first expansion of BIG: its FAT and clusters read, 15,000 entries
// walked, 5,000 children stored and inserted.
void ExpandDirectoryOf5000LongNames(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<BenchSession>(state.range(0) != 0);
        TreeItemHandle big = bench->Child(bench->root, 0);
        state.ResumeTiming();
        bench->screen.Expand(big);
        state.PauseTiming();
        if (bench->screen.Children(big).size() != kBigFiles) {
            state.SkipWithError("not every file was listed");
            return;
        }
        bench.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(ExpandDirectoryOf5000LongNames)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("diskLibrary")
    ->Unit(benchmark::kMillisecond);

// The reads of that expansion alone: one FAT, the chain, the clusters.
void ReadsOfThatExpansion(benchmark::State& state) {
    auto bench = std::make_unique<BenchSession>(state.range(0) != 0);
    TreeItemHandle big = bench->Child(bench->root, 0);
    const TreeItemInfo& item = *bench->screen.GetTreeItemInfo(big);
    PlatformDiskScreen io = bench->session.Io();
    const VolumeGeometry volume = VolumeOf(item);
    for (auto _ : state) {
        PlatformBlock block = AllocateFatImage(bench->platform, volume);
        ClusterChain chain;
        if (LoadClusterChain(io, volume, item.firstCluster, block, chain) != ChainLoad::kListed ||
            ReadChainData(io, volume, chain, block) != ChainDataRead::kRead) {
            state.SkipWithError("the directory was not read");
            return;
        }
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(ReadsOfThatExpansion)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("diskLibrary")
    ->Unit(benchmark::kMillisecond);

// Item storage after listing 100,000 entries: the twenty links to BIG.
void StorageFor100000Entries(benchmark::State& state) {
    for (auto _ : state) {
        BenchSession bench(false);
        std::size_t before = bench.session.items.itemPool.UsedBytes();
        std::size_t listed = 0;
        for (TreeItemHandle child : bench.screen.Children(bench.root)) {
            if (bench.screen.ItemText(child).starts_with("LINK")) {
                bench.screen.Expand(child);
                listed += bench.screen.Children(child).size();
            }
        }
        if (listed != std::size_t{kBigFiles} * kLinks) {
            state.SkipWithError("not every entry was listed");
            return;
        }
        double used = static_cast<double>(bench.session.items.itemPool.UsedBytes() - before);
        state.counters["entries"] = static_cast<double>(listed);
        state.counters["storageMiB"] = used / (1 << 20);
        state.counters["bytesPerEntry"] = used / static_cast<double>(listed);
    }
}
BENCHMARK(StorageFor100000Entries)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brovane

BENCHMARK_MAIN();

// The cost of reading the structure first: the whole of hard disk 1 copied
// by the core's copy with its structure walk on (as Disk Copy does for a
// disk) and off, on the POSIX platform. The copy goes to COPY (DISK.copy
// beside the image without --copy) and is removed before each run. Runs
// each case as a repetition, interleaved:
//   copy_bench --disk IMAGE [--copy COPY] --benchmark_repetitions=5
//              --benchmark_enable_random_interleaving=true
// disk_copy_bench.sh runs it and prints the overhead.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "imaging/copy_extent.h"
#include "imaging/disk_copy.h"
#include "platform/disk_units.h"
#include "platform/platform_options.h"
#include "platform/posix_platform.h"

namespace brovane {
namespace {

PlatformOptions gOptions;
std::string gCopy;

void CopyDisk(benchmark::State& state, CopyStructure structure) {
    const std::string& image = gCopy;
    for (const char* suffix : {"", ".part", ".map"}) {
        std::filesystem::remove(image + suffix);
    }
    PosixPlatform platform(gOptions);
    TextScreen screen;
    Session session(platform, screen);
    screen.SetEvents(&session);
    InitDiskAccess(session);
    const std::vector<TreeItemHandle> disks = screen.Children(kTreeRoot);
    std::optional<CopyExtent> extent;
    if (!disks.empty()) {
        extent = CopyExtentOf(platform, *screen.GetTreeItemInfo(disks[0]));
    }
    if (!extent || extent->structure != CopyStructure::kDisk ||
        !TakeLibraryGeometry(session.Io(), *screen.GetTreeItemInfo(disks[0]), *extent)) {
        state.SkipWithError("hard disk 1 is not a disk the copy takes");
    } else {
        extent->structure = structure;
        const CopyJob job{*extent, image, false};
        const CancelFlag cancel{false};
        CopyResult result;
        for (auto _ : state) {
            result = CopyToImage(
                platform, session.disk, job, [](const WorkProgress&) {}, cancel);
        }
        if (result.outcome != CopyOutcome::kCopied || result.bad != 0) {
            state.SkipWithError("the copy did not finish clean");
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(result.sectors * kSectorBytes));
    }
    ReleaseDiskAccess(session);
}
BENCHMARK_CAPTURE(CopyDisk, straight, CopyStructure::kNone)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CopyDisk, structure_first, CopyStructure::kDisk)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brovane

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string problem;
    if (!brovane::ExtractPlatformOptions(args, brovane::gOptions, problem) ||
        brovane::gOptions.disks.empty()) {
        std::cerr << "usage: copy_bench --disk IMAGE [--copy COPY] [benchmark options]\n";
        return brovane::kExitUsage;
    }
    brovane::gCopy = brovane::gOptions.disks[0] + ".copy";
    if (auto copy = std::find(args.begin(), args.end(), "--copy"); copy + 1 < args.end()) {
        brovane::gCopy = copy[1];
        args.erase(copy, copy + 2);
    }
    std::vector<char*> rest{argv[0]};
    for (std::string& arg : args) {
        rest.push_back(arg.data());
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

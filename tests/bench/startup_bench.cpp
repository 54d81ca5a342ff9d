// Start-up on ten disk images: setting up disk access and listing the
// disks, then releasing them, in both access modes.
#include <benchmark/benchmark.h>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "platform/posix_platform.h"
#include "platform_factories.h"

namespace brovane {
namespace {

void StartUpOnTenImages(benchmark::State& state) {
    test::TempFolder folder;
    PlatformOptions options;
    for (int i = 0; i < 2; ++i) {
        options.floppies.push_back(folder.MakeImage("f" + std::to_string(i), 1474560));
    }
    for (int i = 0; i < 8; ++i) {
        options.disks.push_back(folder.MakeImage("d" + std::to_string(i), 64ull << 20));
    }
    options.diskLibrary = state.range(0) != 0;
    for (auto _ : state) {
        PosixPlatform platform(options);
        TextScreen screen;
        Session session(platform, screen);
        screen.SetEvents(&session);
        InitDiskAccess(session);
        if (screen.Children(kTreeRoot).size() != 10) {
            state.SkipWithError("not every drive was listed");
            return;
        }
        ReleaseDiskAccess(session);
    }
}
BENCHMARK(StartUpOnTenImages)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("diskLibrary")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brovane

BENCHMARK_MAIN();

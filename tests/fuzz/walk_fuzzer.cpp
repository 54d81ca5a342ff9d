// libFuzzer target: the fuzzer's bytes are the first sectors of a hard disk
// (and of a floppy), walked and shown in full in both access modes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "hostile_disk.h"
#include "support/memory_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (bool library : {false, true}) {
        brovane::MemoryPlatform platform;
        platform.settings.diskLibrary = library;
        for (unsigned drive : {platform.AddHardDisk(1u << 20), platform.AddFloppy(2880)}) {
            brovane::PokeBytes(*platform.FindDisk(drive), 0,
                               std::vector<std::uint8_t>(data, data + size));
        }
        brovane::TextScreen screen;
        brovane::Session session(platform, screen);
        screen.SetEvents(&session);
        brovane::InitDiskAccess(session);
        brovane::WalkEverything(screen, 5, 200);
        brovane::ReleaseDiskAccess(session);
    }
    return 0;
}

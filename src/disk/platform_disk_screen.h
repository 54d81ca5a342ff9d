// What a transfer works with: the platform that moves the bytes, the disk
// access state (mode, handles, library functions) and the screen, whose
// progress pane shows "Wait...." while a transfer runs.
#pragma once

#include "disk/disk_access.h"
#include "platform/platform.h"
#include "screen/screen_operations.h"

namespace brovane {

struct PlatformDiskScreen {
    Platform& platform;
    DiskAccess& disk;
    ScreenOperations& screen;
};

}  // namespace brovane

// Choosing how disks are reached in this run and finding them: the access
// mode by the platform's version, the disk library and the virtual device
// where that mode needs them, and releasing it all at the end.
#pragma once

#include <cstdint>

#include "disk/platform_disk_screen.h"

namespace brovane {

// Chooses the access mode, loads the disk library and counts floppies where
// needed; false after showing what is missing. diskAccessReady follows.
bool SetUpDiskAccess(const PlatformDiskScreen& io);
// Opens hard disk n (device paths) or reads its first sector (disk
// library); false when there is no such disk.
bool ProbeHardDisk(const PlatformDiskScreen& io, std::uint32_t n);
// Unloads the library and closes every handle opened in this run.
void ReleaseDrives(Platform& platform, DiskAccess& disk);

}  // namespace brovane

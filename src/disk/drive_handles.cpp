#include "disk/disk_access.h"

#include "platform/device_name.h"

namespace brovane {

bool IsOpenHandle(DeviceHandle handle) {
    return handle != 0 && handle != kInvalidHandle;
}

void CloseDriveHandle(Platform& platform, DiskAccess& disk, std::size_t drive) {
    DeviceHandle& handle = disk.driveHandles[drive];
    if (IsOpenHandle(handle)) {
        platform.CloseDevice(handle);
    }
    handle = 0;
}

bool ReopenVolume(Platform& platform, DiskAccess& disk, std::uint16_t drive) {
    CloseDriveHandle(platform, disk, drive);
    DeviceHandle& handle = disk.driveHandles[drive];
    handle = platform.OpenDevice(FloppyDeviceName(drive));
    return IsOpenHandle(handle);
}

}  // namespace brovane

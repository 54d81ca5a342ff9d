#include "disk/disk_access.h"

namespace brovane {

std::string HardDiskDevicePath(std::uint32_t diskNumber) {
    return "\\\\.\\PHYSICALDRIVE" + std::to_string(diskNumber);
}

std::string VolumeDevicePath(std::uint16_t driveNumber) {
    return std::string("\\\\.\\") + static_cast<char>('A' + driveNumber) + ":";
}

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
    handle = platform.OpenDevice(VolumeDevicePath(drive));
    return IsOpenHandle(handle);
}

}  // namespace brovane

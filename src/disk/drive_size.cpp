#include "disk/drive_size.h"

#include "disk/disk_access.h"
#include "disk/sector_run.h"
#include "platform/device_name.h"

namespace brovane {

namespace {

constexpr std::uint16_t kDriveLetters = 26;

}  // namespace

std::uint64_t DriveSectors(Platform& platform, std::uint16_t driveNumber) {
    if (driveNumber >= kFirstHardDisk) {
        return platform.DeviceBytes(HardDiskDeviceName(driveNumber - kFirstHardDisk)) /
               kSectorBytes;
    }
    if (driveNumber >= kDriveLetters) {
        return 0;
    }
    return platform.DeviceBytes(FloppyDeviceName(driveNumber)) / kSectorBytes;
}

bool FitsOnDrive(Platform& platform, std::uint16_t driveNumber, std::uint64_t sectors) {
    const std::uint64_t held = DriveSectors(platform, driveNumber);
    return held == 0 || sectors <= held;
}

}  // namespace brovane

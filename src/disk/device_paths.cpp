#include "disk/disk_access.h"

namespace brovane {

std::string HardDiskDevicePath(std::uint32_t diskNumber) {
    return "\\\\.\\PHYSICALDRIVE" + std::to_string(diskNumber);
}

std::string VolumeDevicePath(std::uint16_t driveNumber) {
    return std::string("\\\\.\\") + static_cast<char>('A' + driveNumber) + ":";
}

}  // namespace brovane

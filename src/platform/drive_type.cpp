#include "platform/drive_type.h"

#include "platform/device_name.h"
#include "platform/platform.h"

namespace brovane {

unsigned DriveTypeOfRoot(std::string_view rootPath, std::size_t floppyCount) {
    if (rootPath.size() != 3 || rootPath[2] != '\\') {
        return kDriveNoRootDir;
    }
    const auto letter = ParseDriveLetter(rootPath.substr(0, 2));
    return letter && *letter < floppyCount ? kDriveRemovable : kDriveNoRootDir;
}

}  // namespace brovane

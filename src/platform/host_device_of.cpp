#include "platform/host_device_of.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace brovane {

namespace {

namespace fs = std::filesystem;

// The first line of a small sysfs file; empty when it cannot be read.
std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The sysfs folder of the whole disk a device number belongs to: the
// device's own folder, or its parent for a partition. Empty when sysfs does
// not know the number (a proc or overlay file system, say).
fs::path WholeDiskFolder(dev_t device, const std::string& sysDevBlockRoot) {
    const std::string name = std::to_string(major(device)) + ':' + std::to_string(minor(device));
    std::error_code error;
    const fs::path folder = fs::canonical(fs::path(sysDevBlockRoot) / name, error);
    if (error) {
        return {};
    }
    return fs::exists(folder / "partition", error) ? folder.parent_path() : folder;
}

// The "MAJ:MIN" of the whole disk a device number belongs to; empty when unknown.
std::string WholeDiskNumber(dev_t device, const std::string& sysDevBlockRoot) {
    const fs::path folder = WholeDiskFolder(device, sysDevBlockRoot);
    return folder.empty() ? std::string() : FirstLine(folder / "dev");
}

bool OnSameDisk(dev_t fileSystem, dev_t disk, const std::string& sysDevBlockRoot) {
    const std::string ours = WholeDiskNumber(fileSystem, sysDevBlockRoot);
    return !ours.empty() && ours == WholeDiskNumber(disk, sysDevBlockRoot);
}

// A file system on a loop device (or one of its partitions) that the image backs.
bool OnLoopBackedBy(dev_t fileSystem, const std::string& image,
                    const std::string& sysDevBlockRoot) {
    const fs::path disk = WholeDiskFolder(fileSystem, sysDevBlockRoot);
    std::error_code error;
    const fs::path imagePath = fs::canonical(image, error);
    return !disk.empty() && !error &&
           FirstLine(disk / "loop" / "backing_file") == imagePath.string();
}

}  // namespace

bool HostPathLiesOn(const std::string& path, const std::string& drivePath,
                    const std::string& sysDevBlockRoot) {
    struct stat file {};
    struct stat drive {};
    if (::stat(path.c_str(), &file) != 0 || ::stat(drivePath.c_str(), &drive) != 0) {
        return false;
    }
    if (S_ISBLK(drive.st_mode)) {
        return OnSameDisk(file.st_dev, drive.st_rdev, sysDevBlockRoot);
    }
    if (!S_ISREG(drive.st_mode)) {
        return false;
    }
    const bool theImage = file.st_dev == drive.st_dev && file.st_ino == drive.st_ino;
    return theImage || OnLoopBackedBy(file.st_dev, drivePath, sysDevBlockRoot);
}

}  // namespace brovane

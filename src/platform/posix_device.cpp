#include "platform/posix_device.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace brovane {

namespace {

int OpenRetrying(const std::string& path, int flags) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void CloseIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
    }
    fd = -1;
}

bool IsBlockDevice(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode);
}

// Refusals that still allow viewing the device read-only.
bool RefusesWriting(int error) {
    return error == EACCES || error == EROFS || error == EPERM || error == EBUSY;
}

// Opens both descriptors with one access mode; the exclusive claim goes to
// the first descriptor opened, as a second exclusive open would be refused.
int OpenDescriptors(const std::string& path, int access, int exclusive, PosixDevice& device) {
    device.directFd = OpenRetrying(path, access | exclusive | O_DIRECT | O_DSYNC);
    if (device.directFd < 0 && errno != EINVAL) {
        return errno;
    }
    const int claim = device.directFd < 0 ? exclusive : 0;
    device.bufferedFd = OpenRetrying(path, access | claim | O_DSYNC);
    if (device.bufferedFd < 0) {
        const int error = errno;
        CloseIfOpen(device.directFd);
        return error;
    }
    return 0;
}

// A block device's logical sector size; 512 for images.
std::uint32_t TransferUnit(int fd, bool blockDevice) {
    int sectorSize = 0;
    if (!blockDevice || ::ioctl(fd, BLKSSZGET, &sectorSize) != 0 ||
        sectorSize < static_cast<int>(kSectorBytes)) {
        return kSectorBytes;
    }
    return static_cast<std::uint32_t>(sectorSize);
}

// The size of an image file; no limit for devices, which keep their own.
std::uint64_t EndOfWrites(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return PosixDevice{}.endOfWrites;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

int OpenPosixDevice(const std::string& path, PosixDevice& device) {
    device = PosixDevice{};
    const bool blockDevice = IsBlockDevice(path);
    int error = OpenDescriptors(path, O_RDWR, blockDevice ? O_EXCL : 0, device);
    if (error != 0 && RefusesWriting(error)) {
        device.readOnly = true;
        error = OpenDescriptors(path, O_RDONLY, 0, device);
    }
    if (error == 0) {
        device.alignment = TransferUnit(device.bufferedFd, blockDevice);
        device.endOfWrites = EndOfWrites(device.bufferedFd);
    }
    return error;
}

void ClosePosixDevice(PosixDevice& device) {
    CloseIfOpen(device.directFd);
    CloseIfOpen(device.bufferedFd);
}

std::uint64_t PosixDeviceBytes(int fd) {
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        return 0;
    }
    if (S_ISREG(status.st_mode)) {
        return static_cast<std::uint64_t>(status.st_size);
    }
    std::uint64_t bytes = 0;
    if (!S_ISBLK(status.st_mode) || ::ioctl(fd, BLKGETSIZE64, &bytes) != 0) {
        return 0;
    }
    return bytes;
}

std::uint64_t PosixDeviceBytes(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const std::uint64_t bytes = PosixDeviceBytes(fd);
    CloseIfOpen(fd);
    return bytes;
}

}  // namespace brovane

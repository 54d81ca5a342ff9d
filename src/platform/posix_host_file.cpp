#include "platform/posix_host_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace brovane {

namespace {

constexpr int kFileMode = 0644;
constexpr mode_t kFolderMode = 0755;

// The folder of a path, for flushing a rename: "." for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int CreatePosixHostFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
}

int OpenPosixHostFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
}

std::uint32_t ReadPosixHostFile(int fd, std::uint64_t offset, void* buffer, std::uint32_t bytes) {
    std::uint32_t moved = 0;
    while (moved < bytes) {
        const ssize_t got = ::pread(fd, static_cast<char*>(buffer) + moved, bytes - moved,
                                    static_cast<off_t>(offset + moved));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        moved += static_cast<std::uint32_t>(got);
    }
    return moved;
}

std::uint32_t WritePosixHostFile(int fd, std::uint64_t offset, const void* buffer,
                                 std::uint32_t bytes) {
    std::uint32_t moved = 0;
    while (moved < bytes) {
        const ssize_t put = ::pwrite(fd, static_cast<const char*>(buffer) + moved, bytes - moved,
                                     static_cast<off_t>(offset + moved));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            break;  // a full disk, a quota, an I/O error
        }
        moved += static_cast<std::uint32_t>(put);
    }
    return moved;
}

bool FlushPosixHostFile(int fd) {
    return ::fsync(fd) == 0;
}

bool ReplacePosixHostFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    const int folder = ::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    const bool flushed = ::fsync(folder) == 0;
    ::close(folder);
    return flushed;
}

bool FlushPosixFileSystem(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::syncfs(fd) == 0;
    ::close(fd);
    return flushed;
}

bool LockPosixHostFile(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

std::optional<DriveIdentity> IdentifyPosixDevice(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    DriveIdentity identity;
    identity.path = path;
    identity.blockDevice = S_ISBLK(status.st_mode);
    identity.deviceNumber = identity.blockDevice ? status.st_rdev : status.st_dev;
    identity.inode = identity.blockDevice ? 0 : status.st_ino;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        identity.sizeBytes = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        ::close(fd);
    }
    return identity;
}

bool CreatePosixHostFolder(const std::string& path) {
    if (::mkdir(path.c_str(), kFolderMode) == 0) {
        return true;
    }
    return errno == EEXIST && PosixHostFolderExists(path);
}

bool PosixHostFolderExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool SetPosixHostFileTime(const std::string& path, std::int64_t secondsSinceEpoch) {
    const timespec time{static_cast<time_t>(secondsSinceEpoch), 0};
    const timespec times[2] = {time, time};  // access, modification
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::optional<std::int64_t> PosixHostFileTime(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(status.st_mtim.tv_sec);
}

}  // namespace brovane

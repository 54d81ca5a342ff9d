// The disk library: ReadDisk32, WriteDisk32 and CheckInt13Extension32 over
// the attached images. A transfer succeeds (answers 1) only when every
// sector of the run moved.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "disk32/attached_drives.h"
#include "disk32/bios_address.h"

namespace brovane::disk32 {

namespace {

constexpr std::uint64_t kSectorBytes = 512;

bool MoveAll(int fd, std::uint8_t* buffer, std::uint64_t bytes, std::uint64_t offset, bool write) {
    std::uint64_t done = 0;
    while (done < bytes) {
        ssize_t moved =
            write ? ::pwrite(fd, buffer + done, bytes - done, static_cast<off_t>(offset + done))
                  : ::pread(fd, buffer + done, bytes - done, static_cast<off_t>(offset + done));
        if (moved <= 0) {
            return false;
        }
        done += static_cast<std::uint64_t>(moved);
    }
    return true;
}

std::uint32_t Transfer(std::uint32_t drive, const LibraryAddress& address, std::uint32_t count,
                       std::uint8_t* buffer, bool write) {
    std::optional<AttachedDrive> found = FindDrive(drive);
    if (!found || count == 0 || buffer == nullptr) {
        return 0;
    }
    std::optional<std::uint64_t> first = AddressedSector(address, found->geometry);
    if (!first || *first + count > found->sectorCount) {
        return 0;
    }
    int fd = ::open(found->path.c_str(), (write ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    bool moved = MoveAll(fd, buffer, count * kSectorBytes, *first * kSectorBytes, write);
    if (write && moved) {
        moved = ::fsync(fd) == 0;
    }
    ::close(fd);
    return moved ? 1 : 0;
}

}  // namespace

}  // namespace brovane::disk32

#define DISK32_EXPORT extern "C" __attribute__((visibility("default")))

DISK32_EXPORT std::uint32_t ReadDisk32(std::uint32_t drive, std::uint32_t cylinder,
                                       std::uint32_t head, std::uint32_t sector,
                                       std::uint32_t count, std::uint8_t* buffer,
                                       std::uint32_t absoluteSector,
                                       std::uint32_t int13Extensions) {
    return brovane::disk32::Transfer(
        drive, {cylinder, head, sector, absoluteSector, int13Extensions}, count, buffer, false);
}

DISK32_EXPORT std::uint32_t WriteDisk32(std::uint32_t drive, std::uint32_t cylinder,
                                        std::uint32_t head, std::uint32_t sector,
                                        std::uint32_t count, std::uint8_t* buffer,
                                        std::uint32_t absoluteSector,
                                        std::uint32_t int13Extensions) {
    return brovane::disk32::Transfer(
        drive, {cylinder, head, sector, absoluteSector, int13Extensions}, count, buffer, true);
}

DISK32_EXPORT std::uint32_t CheckInt13Extension32(std::uint32_t drive) {
    std::optional<brovane::disk32::AttachedDrive> found = brovane::disk32::FindDrive(drive);
    return found ? brovane::disk32::ExtensionValue(*found, drive >= 0x80) : 0;
}

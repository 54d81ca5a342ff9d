#include "platform/device_transfer.h"

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace brovane {

namespace {

bool IsAligned(std::uint64_t value, std::uint32_t unit) {
    return value % unit == 0;
}

// Whether the direct descriptor can take this piece as it is.
bool FitsDirect(const PosixDevice& device, std::uint64_t offset, const void* buffer,
                std::size_t bytes) {
    const auto address = reinterpret_cast<std::uintptr_t>(buffer);
    return device.directFd >= 0 && IsAligned(offset, device.alignment) &&
           IsAligned(address, device.alignment) && IsAligned(bytes, device.alignment);
}

// One pread or pwrite, repeated when interrupted.
template <typename Byte, typename Call>
ssize_t MoveOnce(int fd, std::uint64_t offset, Byte* buffer, std::size_t bytes, Call call) {
    ssize_t moved = -1;
    do {
        moved = call(fd, buffer, bytes, static_cast<off_t>(offset));
    } while (moved < 0 && errno == EINTR);
    return moved;
}

// One piece through the direct descriptor where it fits and is accepted,
// otherwise through the buffered one.
template <typename Byte, typename Call>
ssize_t MovePiece(const PosixDevice& device, std::uint64_t offset, Byte* buffer, std::size_t bytes,
                  Call call) {
    if (FitsDirect(device, offset, buffer, bytes)) {
        const ssize_t moved = MoveOnce(device.directFd, offset, buffer, bytes, call);
        if (moved >= 0 || errno != EINVAL) {
            return moved;
        }
    }
    return MoveOnce(device.bufferedFd, offset, buffer, bytes, call);
}

template <typename Byte, typename Call>
std::uint32_t MoveAll(const PosixDevice& device, std::uint64_t offset, Byte* buffer,
                      std::uint32_t bytes, Call call) {
    constexpr auto kLastOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
    if (offset > kLastOffset - bytes) {
        return 0;
    }
    std::uint32_t done = 0;
    while (done < bytes) {
        const ssize_t moved = MovePiece(device, offset + done, buffer + done, bytes - done, call);
        if (moved <= 0) {
            break;
        }
        done += static_cast<std::uint32_t>(moved);
    }
    return done;
}

}  // namespace

std::uint32_t ReadPosixDevice(const PosixDevice& device, std::uint64_t offset, void* buffer,
                              std::uint32_t bytes) {
    return MoveAll(device, offset, static_cast<unsigned char*>(buffer), bytes,
                   [](int fd, unsigned char* at, std::size_t n, off_t position) {
                       return ::pread(fd, at, n, position);
                   });
}

std::uint32_t WritePosixDevice(const PosixDevice& device, std::uint64_t offset, const void* buffer,
                               std::uint32_t bytes) {
    const std::uint64_t room = offset < device.endOfWrites ? device.endOfWrites - offset : 0;
    const auto writable = static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, room));
    return MoveAll(device, offset, static_cast<const unsigned char*>(buffer), writable,
                   [](int fd, const unsigned char* at, std::size_t n, off_t position) {
                       return ::pwrite(fd, at, n, position);
                   });
}

}  // namespace brovane

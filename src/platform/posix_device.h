// An open device or image on POSIX.
//
// Transfers bypass the system cache where they can: the direct descriptor is
// opened with O_DIRECT, which demands buffers, offsets and lengths aligned to
// the device's logical sector. Whatever it cannot serve (unaligned
// transfers, 512-byte transfers on a device with larger sectors, a file
// system without O_DIRECT) goes through the buffered descriptor, opened with
// O_DSYNC so that a write still returns only once it reached the device.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "platform/disk_units.h"

namespace brovane {

struct PosixDevice {
    int directFd = -1;                       // O_DIRECT; -1 where the file system refuses it
    int bufferedFd = -1;                     // O_DSYNC; always open
    std::uint32_t alignment = kSectorBytes;  // the direct descriptor's transfer unit
    bool readOnly = false;
    // Writes stop here: an image file keeps its size like a disk does.
    std::uint64_t endOfWrites = std::numeric_limits<std::uint64_t>::max();
};

// Opens path for reading and writing, exclusively for a block device; where
// the system refuses that for want of permission or because the device is
// busy, opens it read-only. Answers 0, or the errno of the failed open.
int OpenPosixDevice(const std::string& path, PosixDevice& device);
void ClosePosixDevice(PosixDevice& device);

// The size of an open image file or block device in bytes; 0 when the
// system does not tell (or it is neither).
std::uint64_t PosixDeviceBytes(int fd);
// The same for a path, opened read-only for the question; 0 when it cannot
// be opened.
std::uint64_t PosixDeviceBytes(const std::string& path);

}  // namespace brovane

// Positioned transfers on an open POSIX device.
#pragma once

#include <cstdint>

#include "platform/posix_device.h"

namespace brovane {

// Move bytes at a 64-bit offset, repeating short transfers until all moved,
// the end of the device or an error; they answer the bytes moved.
std::uint32_t ReadPosixDevice(const PosixDevice& device, std::uint64_t offset, void* buffer,
                              std::uint32_t bytes);
std::uint32_t WritePosixDevice(const PosixDevice& device, std::uint64_t offset, const void* buffer,
                               std::uint32_t bytes);

}  // namespace brovane

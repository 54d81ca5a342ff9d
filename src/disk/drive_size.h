// What a drive holds, as the system reports its device's size. Sizes read
// from a damaged disk (a FAT, a directory, a cluster chain) are held against
// it: a buffer larger than the whole drive could never be filled from it,
// and is refused like memory that cannot be had.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace brovane {

// 0 when the system does not tell.
std::uint64_t DriveSectors(Platform& platform, std::uint16_t driveNumber);

// False only when the drive is known to hold fewer sectors than asked.
bool FitsOnDrive(Platform& platform, std::uint16_t driveNumber, std::uint64_t sectors);

}  // namespace brovane

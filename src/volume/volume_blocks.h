// The one rule for buffers sized from a volume's fields (a FAT, a root
// directory, a run of clusters): a damaged boot record or FAT can claim any
// size, so a buffer is given only when it is no larger than the whole drive
// holds and than the largest block; otherwise it is refused like memory that
// cannot be had. The volume's own total-sectors field is not a bound: it is
// as likely to be damaged as the rest, and the data it would hide can still
// be read.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/platform_block.h"
#include "volume/volume_geometry.h"

namespace brovane {

// True when a buffer of that many sectors of the drive may be given.
bool FitsVolumeDrive(Platform& platform, std::uint16_t driveNumber, std::uint64_t sectors);

// A zero-filled block of that many sectors; 0 sectors give a valid block of
// 0 bytes. An empty handle when the size is refused or the memory cannot be had.
PlatformBlock AllocateVolumeSectors(Platform& platform, const VolumeGeometry& volume,
                                    std::uint64_t sectors);

}  // namespace brovane

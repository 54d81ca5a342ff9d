// A volume's FAT, read into memory: the first copy, or the second when the
// first cannot be read completely.
#pragma once

#include "disk/platform_disk_screen.h"
#include "format/little_endian.h"
#include "platform/platform_block.h"
#include "volume/volume_geometry.h"

namespace brovane {

// A zero-filled block of sectorsPerFat sectors (0 sectors: an empty image,
// in which no chain goes anywhere), or an empty handle when the volume's
// size rule refuses it or the memory cannot be had.
PlatformBlock AllocateFatImage(Platform& platform, const VolumeGeometry& volume);

// Reads the first FAT (at reservedSectors) into the block, or else the
// second (sectorsPerFat further on), silently. False when neither reads or
// the block cannot hold a FAT.
bool ReadFat(const PlatformDiskScreen& io, const VolumeGeometry& volume, PlatformBlock& fat);

// The FAT's bytes in a block that holds it (as many as it holds).
ByteSpan FatBytes(const VolumeGeometry& volume, const PlatformBlock& fat);

}  // namespace brovane

// Reading a volume's FAT for a directory or file item: the first copy, or
// the second when the first cannot be read completely.
#pragma once

#include <cstdint>

#include "disk/platform_disk_screen.h"
#include "platform/platform_block.h"
#include "tree/tree_item_info.h"

namespace brovane {

// A zero-filled block of sectorsPerFat sectors, or an empty handle when it
// cannot be had: too large for the volume the boot record describes (a
// damaged sectors-per-FAT), or refused by the platform.
PlatformBlock AllocateFatImage(Platform& platform, const TreeItemInfo& item);

// Reads the first FAT (at reservedSectors) into the block, or else the
// second (sectorsPerFat further on), silently. False when neither reads.
bool ReadFatCopy(const PlatformDiskScreen& io, const TreeItemInfo& item, PlatformBlock& fat);

}  // namespace brovane

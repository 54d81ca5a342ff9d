// The root items: one per floppy, then one per hard disk, each with the
// record of the drive's first sector.
#pragma once

#include "disk/platform_disk_screen.h"
#include "tree/item_storage.h"

namespace brovane {

// Allocates both record pools; false after saying which could not be had.
bool AllocateItemPools(ItemStorage& items, ScreenOperations& screen);
// Empties the record pools and inserts one root item per floppy, then per hard disk.
void EnumerateDisks(const PlatformDiskScreen& io, ItemStorage& items);

}  // namespace brovane

// Listing a directory into the tree, on its item's first expansion: the
// fixed root directory of a FAT12 or FAT16 volume, or a directory held in a
// cluster chain (a FAT32 root directory, every sub-directory). Each file and
// sub-directory found becomes a child of the expanded item.
//
// Every buffer is an owned platform block, released when the listing ends,
// however it ends. A block whose size comes from damaged fields and would
// be more than the drive holds is never allocated: it is refused like a failed
// allocation, with the same message.
#pragma once

#include "disk/platform_disk_screen.h"
#include "screen/screen_operations.h"
#include "tree/item_storage.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Both answer true when the listing ran to its end (also with no children),
// false when a message ended it; the children made before stay.

// Reads the directory's sectorCount sectors; an unreadable part is said and
// read as deleted entries. Volume labels are not listed.
bool ListRootDirectory(const PlatformDiskScreen& io, ItemStorage& items, TreeItemHandle item,
                       const TreeItemInfo& directory);

// Reads the FAT (the second copy when the first fails), follows the chain
// from firstCluster and reads its clusters. The dot entries are not listed;
// a volume label is, like a file.
bool ListChainDirectory(const PlatformDiskScreen& io, ItemStorage& items, TreeItemHandle item,
                        const TreeItemInfo& directory);

}  // namespace brovane

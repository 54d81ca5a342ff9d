// Building the tree below the drives, one level per first expansion: a
// disk's master boot record into its partitions, an extended partition
// table into its logical partition and the link to the next table, and a
// volume's boot record into its FATs and root directory.
#pragma once

#include <array>
#include <cstdint>

#include "disk/disk_access.h"
#include "disk/platform_disk_screen.h"
#include "screen/screen_operations.h"
#include "tree/item_storage.h"

namespace brovane {

// What the walk keeps between expansions: per drive, the first sector of the
// extended partition its master boot record names (0 until one is met).
struct TreeWalkState {
    std::array<std::uint32_t, kDriveCount> extendedBase{};
};

// The item-expanding notification. False refuses the expansion (the floppy
// could not be opened), so the next attempt tries again.
bool ExpandItem(const PlatformDiskScreen& io, ItemStorage& items, TreeWalkState& walk, TreeItemHandle item,
                TreeItemInfo* info, bool expandedOnce);

}  // namespace brovane

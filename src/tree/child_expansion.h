// What every walk of a first expansion shares: the item being expanded, the
// new children's records and insertion, and reading the item's first sector.
#pragma once

#include <cstdint>
#include <string_view>

#include "disk/platform_disk_screen.h"
#include "tree/item_storage.h"
#include "tree/partition_walk.h"

namespace brovane {

// The item being expanded and the child inserted last, so that each new
// child goes right behind the one before.
struct Expansion {
    const PlatformDiskScreen& io;
    ItemStorage& items;
    TreeWalkState& walk;
    TreeItemHandle item;
    const TreeItemInfo& parent;
    TreeItemHandle lastChild = kInsertLast;
};

// A new record for a child, or nullptr after saying that none can be had.
TreeItemInfo* NewChildRecord(Expansion& expansion);

void InsertChild(Expansion& expansion, std::string_view text, bool hasChildren,
                 TreeItemInfo* record);

// Refused: the floppy could not be opened, so the expansion is refused and
// tried again next time.
enum class SectorOutcome { Read, Failed, Refused };

// Reads the item's first sector into buffer, showing failureText when it
// cannot be read.
SectorOutcome ReadItemSector(Expansion& expansion, std::uint8_t* buffer,
                             std::string_view failureText);

// A sector number from disk fields (partition entries, boot records),
// computed in 64 bits. One beyond 32 bits becomes the last sector number
// there is, which lies past every volume and past the end of every disk
// under 2 TiB, so the item is never read at a wrapped-around address.
std::uint32_t SectorFromFields(std::uint64_t sector);

}  // namespace brovane

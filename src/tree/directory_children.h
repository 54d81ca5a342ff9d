// The children a directory listing makes of its entries: one tree item per
// file, sub-directory or (in a cluster-chain directory) volume label, named
// by its long name where it has one, each inserted behind the one before.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>

#include "disk/platform_disk_screen.h"
#include "format/directory_entry.h"
#include "format/little_endian.h"
#include "format/long_name.h"
#include "screen/screen_operations.h"
#include "tree/item_storage.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Where the children of one expansion go: under the expanded item, each
// behind the child inserted last.
struct ChildInsertion {
    const PlatformDiskScreen& io;
    ItemStorage& items;
    TreeItemHandle parent;
    TreeItemHandle lastChild = kInsertLast;
};

// Which entries a walk passes over besides long-name slots and deleted
// entries: volume labels in a fixed root directory, the dot entries in a
// directory held in a cluster chain.
enum class DirectoryHolder { FixedRoot, ClusterChain };

// Room for a child's name while it is made.
using ChildNameText = std::array<char, kMaxLongNameBytes>;

// The record of an entry's child: the directory's drive and volume fields,
// the first data sector, the entry's attributes and first cluster, and the
// directory's first cluster as its parent.
TreeItemInfo DirectoryChildRecord(const TreeItemInfo& directory, const DirectoryEntry& entry);

// The entry's long name when it is not the first entry of the data and
// slots stand in front of it (the text up to its first zero byte);
// otherwise its 12 stored characters "NAME    .EXT".
std::string_view DirectoryChildName(ByteSpan data, std::size_t index, const DirectoryEntry& entry,
                                    ChildNameText& text);

// Visits each entry a listing makes a child of, in order (its index in the
// data, the entry, its name as DirectoryChildName gives it), stopping at the
// first entry whose name begins with byte 0. False when a visit answered
// false, which ends the walk.
using ListedEntryVisit =
    std::function<bool(std::size_t index, const DirectoryEntry& entry, std::string_view name)>;
bool ForEachListedEntry(ByteSpan data, DirectoryHolder holder, const ListedEntryVisit& visit);

// Walks the entries of the directory's data and makes each listed one a
// child, stopping at the first entry whose name begins with byte 0. False
// when the item storage cannot grow ("Packets memory not enough" shown).
bool AddDirectoryChildren(ChildInsertion& insertion, const TreeItemInfo& directory, ByteSpan data,
                          DirectoryHolder holder);

}  // namespace brovane

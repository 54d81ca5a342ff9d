// A partition table's walk: the item's table read, and a child per used
// entry, in table order.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "format/partition_entry.h"
#include "tree/child_expansion.h"

namespace brovane {

// Where an entry's partition begins, in 64 bits.
using EntryBase = std::function<std::uint64_t(const PartitionEntry&)>;

// Reads the item's partition table and adds a child per used entry at the
// base sector baseOf gives it; failureText when the table cannot be read.
SectorOutcome WalkPartitionTable(Expansion& expansion, std::string_view failureText,
                                 bool inExtendedTable, const EntryBase& baseOf);

}  // namespace brovane

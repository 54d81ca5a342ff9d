// Go to a Sector: a sector of the selected item, counted from its first
// sector (for a disk, the absolute sector), shown as a raw sector dump of
// the item, as if Raw Sector Dumping had paged there: Previous and Next go
// on from it and Write Changes writes it by the usual rule.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// A sector number as typed: decimal, or hexadecimal after "0x"; nothing for
// anything else (a sign, other characters, more than 64 bits).
std::optional<std::uint64_t> ParseSectorNumber(std::string_view text);

// The sectors a raw view of the item spans: a disk's or floppy's device, a
// partition's entry (bounded by the device), else to the end of the item's
// volume, as Raw Sector Dumping pages.
std::uint64_t RawSectors(Platform& platform, const TreeItemInfo& item);
// The item's sector those sectors count from: a disk's, floppy's or
// partition's first (an unknown partition's record points one past it),
// else the item's own first.
std::uint32_t RawFirstSector(const TreeItemInfo& item);

// Shows sector n of the item; "Sector not accessible!" and nothing changed
// when it lies past the item, the device or 32 bits. False then.
bool GoToSector(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item,
                std::uint64_t n);

}  // namespace brovane

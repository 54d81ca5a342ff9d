// Moving runs of 512-byte sectors between a drive and memory. The run is
// described by a tree item record: drive, origin, first sector relative to
// the origin and sector count. A run that fails as a whole is retried one
// sector at a time, and the call then answers false.
#pragma once

#include <cstdint>

#include "disk/disk_access.h"
#include "tree/tree_item_info.h"

namespace brovane {

class Session;

inline constexpr std::uint32_t kSectorBytes = 512;
// What a read leaves in place of a sector that could not be read.
inline constexpr std::uint8_t kUnreadableFill = 0xE5;

// True when the whole run moved in one pass. buffer holds sectorCount × 512 bytes.
bool ReadSectors(Session& session, const TreeItemInfo& item, std::uint8_t* buffer);
bool WriteSectors(Session& session, const TreeItemInfo& item, const std::uint8_t* buffer);

// The address of the sector relativeSector sectors past the item's origin,
// in the item's geometry (heads and sectorsPerTrack nonzero). chs comes in
// holding the previous conversion: above cylinder 1000 its head is kept.
void ComputeChsAddress(const TreeItemInfo& item, ChsAddress& chs);

}  // namespace brovane

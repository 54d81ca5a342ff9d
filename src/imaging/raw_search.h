// Searching an item's raw sectors for a pattern: in runs of 1 MiB read
// without caching, one sector at a time only inside a run that failed (the
// disk layer's retry). A hit may cross a sector or run boundary; sectors
// that cannot be read are skipped and counted, and no hit spans one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "disk/disk_access.h"
#include "disk/platform_disk_screen.h"
#include "disk/sector_run.h"
#include "imaging/search_pattern.h"
#include "platform/platform.h"
#include "screen/long_work.h"
#include "tree/tree_item_info.h"

namespace brovane {

// `sectors` sectors from the origin's relativeSector on.
struct SearchRange {
    SectorRun origin;
    std::uint64_t sectors = 0;
};

// Where a hit's first byte lies: a sector counted from the range's first,
// and the byte in it.
struct SearchHit {
    std::uint64_t sector = 0;
    std::uint32_t offset = 0;
};

enum class SearchStop { kEnded, kHitTaken, kCancelled, kNoMemory };

struct SearchOutcome {
    SearchStop stop = SearchStop::kEnded;
    std::uint64_t searched = 0;    // sectors gone through, unreadable ones included
    std::uint64_t unreadable = 0;  // of them
};

// Answers whether the search goes on.
using HitSink = std::function<bool(const SearchHit& hit)>;

// A search runs over an item's raw range: a disk's, floppy's or
// partition's sectors as a copy takes them; any other item its own
// sectors, or, for a file or directory, whose record counts none, to the
// end of its volume as Raw Sector Dumping pages. Bounded by the device
// and by 32-bit sector numbers. Nothing, after saying why, when the disk
// library has no geometry to address it.
std::optional<SearchRange> SearchRangeOf(const PlatformDiskScreen& io, const TreeItemInfo& item);

// Every hit that begins at or after byte `fromByte` of the range goes to
// `sink`, in order, until the sink says stop, the range ends or the cancel
// flag is set. Hits may overlap: each place is reported.
SearchOutcome SearchSectors(Platform& platform, DiskAccess& disk, const SearchRange& range,
                            const PatternMatcher& matcher, std::uint64_t fromByte,
                            const HitSink& sink, const ProgressReport& report,
                            const CancelFlag& cancel);

}  // namespace brovane

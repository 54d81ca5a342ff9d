#include "app/find_command.h"

#include "dump/dump_position.h"
#include "dump/dump_rows.h"
#include "dump/sector_goto.h"
#include "platform/disk_units.h"
#include "screen/screen_operations.h"

namespace brovane {

namespace {

std::string CountsText(const SearchOutcome& outcome) {
    return std::to_string(outcome.searched) + " sectors searched, " +
           std::to_string(outcome.unreadable) + " unreadable.";
}

bool SameItem(const TreeItemInfo& a, const TreeItemInfo& b) {
    return a.driveNumber == b.driveNumber && a.baseSector == b.baseSector && a.kind == b.kind &&
           a.firstCluster == b.firstCluster && RawFirstSector(a) == RawFirstSector(b);
}

// The sector of the range on screen, when the pane shows a dump of the item.
std::optional<std::uint64_t> SectorOnScreen(const RightPaneState& pane, const TreeItemInfo& item,
                                            const SearchRange& range) {
    if (!IsDumpView(pane.viewMode) || !SameItem(pane.currentItem, item)) {
        return std::nullopt;
    }
    const std::optional<TreeItemInfo> unit = CurrentUnit(pane);
    if (!unit) {
        return std::nullopt;
    }
    const std::uint64_t shown = std::uint64_t{unit->baseSector} + unit->relativeSector;
    const std::uint64_t first =
        std::uint64_t{range.origin.baseSector} + range.origin.relativeSector;
    if (shown < first || shown - first >= range.sectors) {
        return std::nullopt;
    }
    return shown - first;
}

// After the last hit while its sector is on screen, else from the sector
// on screen, else from the item's first sector.
std::uint64_t StartByte(const RightPaneState& pane, const FindState& find, const TreeItemInfo& item,
                        const SearchRange& range, bool next) {
    const std::optional<std::uint64_t> shown = SectorOnScreen(pane, item, range);
    if (!shown) {
        return 0;
    }
    if (next && find.hasHit && SameItem(find.hitItem, item) &&
        find.hitByte / kSectorBytes == *shown) {
        return find.hitByte + 1;
    }
    return *shown * kSectorBytes;
}

void ShowHit(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item,
             const SearchRange& range, const SearchHit& hit) {
    if (!GoToSector(io, pane, item, hit.sector)) {
        return;
    }
    io.screen.SetListItemState(static_cast<int>(hit.offset / 16), true, true);
    const std::uint64_t sector =
        std::uint64_t{range.origin.baseSector} + range.origin.relativeSector + hit.sector;
    // Short enough for the progress pane: the unreadable sectors skipped on
    // the way are said when a search ends without a hit.
    const std::string where =
        "Found at " + std::to_string(sector) + ", byte " + std::to_string(hit.offset);
    io.screen.SetStatusText(kProgressPane, where);
}

void Search(const PlatformDiskScreen& io, RightPaneState& pane, FindState& find,
            const TreeItemInfo& item, bool next) {
    const std::optional<SearchRange> range = RangeToSearch(io, item, *find.pattern);
    if (!range) {
        return;
    }
    const PatternMatcher matcher(*find.pattern);
    const std::uint64_t from = StartByte(pane, find, item, *range, next);
    std::optional<SearchHit> hit;
    SearchOutcome outcome;
    Platform& platform = io.platform;
    DiskAccess& disk = io.disk;
    io.screen.RunLongWork(kFindTitle, [&](const ProgressReport& report, const CancelFlag& cancel) {
        outcome = SearchSectors(
            platform, disk, *range, matcher, from,
            [&hit](const SearchHit& found) {
                hit = found;
                return false;
            },
            report, cancel);
    });
    switch (outcome.stop) {
        case SearchStop::kHitTaken:
            find.hasHit = true;
            find.hitItem = item;
            find.hitByte = hit->sector * kSectorBytes + hit->offset;
            ShowHit(io, pane, item, *range, *hit);
            break;
        case SearchStop::kEnded:
            io.screen.Notify("Not found: " + CountsText(outcome));
            break;
        case SearchStop::kCancelled:
            io.screen.Notify("The search was cancelled: " + CountsText(outcome));
            break;
        case SearchStop::kNoMemory:
            io.screen.Notify(kSearchNoMemoryText);
            break;
    }
}

}  // namespace

std::optional<SearchRange> RangeToSearch(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                         const SearchPattern& pattern) {
    std::optional<SearchRange> range = SearchRangeOf(io, item);
    if (range && range->sectors == 0) {
        io.screen.Notify("This item has no sectors to search.");
        return std::nullopt;
    }
    if (range && pattern.bytes.size() > range->sectors * kSectorBytes) {
        io.screen.Notify("The pattern is longer than the " + std::to_string(range->sectors) +
                         " sectors of this item: nothing was searched.");
        return std::nullopt;
    }
    return range;
}

void ChooseFind(const PlatformDiskScreen& io, RightPaneState& pane, FindState& find,
                const TreeItemInfo* item) {
    if (item == nullptr) {
        return;
    }
    const std::optional<SearchRequest> request = io.screen.AskSearchPattern(kFindTitle);
    if (!request) {
        return;
    }
    std::string error;
    std::optional<SearchPattern> pattern = PatternOf(*request, error);
    if (!pattern) {
        io.screen.Notify(error);
        return;
    }
    find.pattern = std::move(pattern);
    find.hasHit = false;
    Search(io, pane, find, *item, false);
}

void ChooseFindNext(const PlatformDiskScreen& io, RightPaneState& pane, FindState& find,
                    const TreeItemInfo* item) {
    if (!find.pattern) {
        ChooseFind(io, pane, find, item);
        return;
    }
    // The dump of the last hit goes on, whatever the tree's selection (a Raw
    // Search shows an item that need not be selected).
    if (find.hasHit && IsDumpView(pane.viewMode) && SameItem(pane.currentItem, find.hitItem)) {
        item = &find.hitItem;
    }
    if (item != nullptr) {
        const TreeItemInfo target = *item;
        Search(io, pane, find, target, true);
    }
}

}  // namespace brovane

#include "imaging/raw_search.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "disk/drive_size.h"
#include "disk/sector_transfer.h"
#include "imaging/copy_extent.h"
#include "platform/platform_block.h"
#include "screen/messages.h"
#include "tree/item_run.h"

namespace brovane {

namespace {

constexpr std::uint32_t kSearchRunSectors = 2048;
// Room in front of each run for the bytes a hit may carry over from the
// run before; a whole page keeps the run itself aligned for direct reads.
constexpr std::size_t kCarryRoom = 4096;
static_assert(kCarryRoom >= kMaxPatternBytes);
constexpr std::uint64_t kSectorNumbers = std::uint64_t{1} << 32;

std::optional<SearchRange> CopyableRange(const PlatformDiskScreen& io, const TreeItemInfo& item) {
    std::optional<CopyExtent> extent = CopyExtentOf(io.platform, item);
    if (!TakeLibraryGeometry(io, item, *extent)) {
        return std::nullopt;
    }
    return SearchRange{extent->origin, extent->sectors};
}

// An item inside a volume: its own sectors, or to the volume's end.
std::optional<SearchRange> VolumePartRange(const PlatformDiskScreen& io, const TreeItemInfo& item) {
    if (io.disk.diskAccessMode == DAM_DISK_LIBRARY &&
        (item.heads == 0 || item.sectorsPerTrack == 0)) {
        return std::nullopt;
    }
    SearchRange range{ItemRun(item), item.sectorCount};
    range.origin.sectorCount = 0;
    if (range.sectors == 0 && item.volumeSectors > item.relativeSector) {
        range.sectors = item.volumeSectors - item.relativeSector;
    }
    const std::uint64_t first = std::uint64_t{item.baseSector} + item.relativeSector;
    const std::uint64_t device = DriveSectors(io.platform, item.driveNumber);
    if (device != 0) {
        range.sectors = std::min(range.sectors, device > first ? device - first : 0);
    }
    range.sectors = std::min(range.sectors, kSectorNumbers - item.relativeSector);
    return range;
}

// Reads the range run by run and hands each stretch of readable bytes,
// with the bytes carried over in front of it, to the matcher.
class RawSearcher {
  public:
    RawSearcher(Platform& platform, DiskAccess& disk, const SearchRange& range,
                const PatternMatcher& matcher, const HitSink& sink)
        : platform_(platform),
          disk_(disk),
          range_(range),
          matcher_(matcher),
          sink_(sink),
          block_(PlatformBlock::Allocate(
              platform, kCarryRoom + std::size_t{kSearchRunSectors} * kSectorBytes)),
          unread_(kSearchRunSectors) {}

    SearchOutcome Run(std::uint64_t fromByte, const ProgressReport& report,
                      const CancelFlag& cancel);

  private:
    std::uint8_t* RunData() const { return block_.data() + kCarryRoom; }
    // Reads from `sector` on; answers how many sectors it came to.
    std::uint32_t ReadRun(std::uint64_t sector);
    // Searches the readable sectors [first, end) of the run; false when the
    // sink said stop.
    bool SearchStretch(std::uint64_t runSector, std::uint32_t first, std::uint32_t end);
    void KeepCarry(const std::uint8_t* end, std::size_t available);

    Platform& platform_;
    DiskAccess& disk_;
    const SearchRange& range_;
    const PatternMatcher& matcher_;
    const HitSink& sink_;
    PlatformBlock block_;
    std::vector<std::uint8_t> unread_;
    std::size_t carry_ = 0;  // bytes in front of the run that belong before it
    std::uint64_t fromByte_ = 0;
};

std::uint32_t RawSearcher::ReadRun(std::uint64_t sector) {
    const auto count = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(kSearchRunSectors, range_.sectors - sector));
    SectorRun run = range_.origin;
    run.relativeSector = static_cast<std::uint32_t>(range_.origin.relativeSector + sector);
    run.sectorCount = count;
    std::fill(unread_.begin(), unread_.end(), std::uint8_t{0});
    ReadSectorsNotingUnread(platform_, disk_, run, RunData(), std::span(unread_).first(count));
    // The disk library stops behind a failed piece; the next run starts there.
    const auto reached = static_cast<std::uint32_t>(
        std::find(unread_.begin(), unread_.begin() + count, kSectorNotReached) - unread_.begin());
    return std::max<std::uint32_t>(reached, 1);
}

void RawSearcher::KeepCarry(const std::uint8_t* end, std::size_t available) {
    carry_ = std::min(available, matcher_.Size() - 1);
    std::memmove(RunData() - carry_, end - carry_, carry_);
}

bool RawSearcher::SearchStretch(std::uint64_t runSector, std::uint32_t first, std::uint32_t end) {
    const std::size_t carry = first == 0 ? carry_ : 0;
    const std::uint8_t* start = RunData() + std::size_t{first} * kSectorBytes - carry;
    const std::size_t size = std::size_t{end - first} * kSectorBytes + carry;
    const std::uint64_t startByte = (runSector + first) * kSectorBytes - carry;
    for (std::size_t at = matcher_.Find({start, size}, 0); at != PatternMatcher::npos;
         at = matcher_.Find({start, size}, at + 1)) {
        const std::uint64_t byte = startByte + at;
        if (byte >= fromByte_ &&
            !sink_({byte / kSectorBytes, static_cast<std::uint32_t>(byte % kSectorBytes)})) {
            return false;
        }
    }
    KeepCarry(start + size, size);
    return true;
}

SearchOutcome RawSearcher::Run(std::uint64_t fromByte, const ProgressReport& report,
                               const CancelFlag& cancel) {
    SearchOutcome outcome;
    if (!block_) {
        outcome.stop = SearchStop::kNoMemory;
        return outcome;
    }
    fromByte_ = fromByte;
    std::uint64_t sector = std::min(fromByte / kSectorBytes, range_.sectors);
    WorkProgress progress;
    progress.total = range_.sectors - sector;
    while (sector < range_.sectors) {
        if (cancel.load()) {
            outcome.stop = SearchStop::kCancelled;
            return outcome;
        }
        const std::uint32_t reached = ReadRun(sector);
        for (std::uint32_t i = 0; i < reached;) {
            if (unread_[i] != 0) {
                ++outcome.unreadable;
                carry_ = 0;
                ++i;
                continue;
            }
            const auto end = static_cast<std::uint32_t>(
                std::find_if(unread_.begin() + i, unread_.begin() + reached,
                             [](std::uint8_t flag) { return flag != 0; }) -
                unread_.begin());
            if (!SearchStretch(sector, i, end)) {
                outcome.searched += end;
                outcome.stop = SearchStop::kHitTaken;
                return outcome;
            }
            i = end;
        }
        sector += reached;
        outcome.searched += reached;
        progress.done = outcome.searched;
        progress.bad = outcome.unreadable;
        report(progress);
    }
    return outcome;
}

}  // namespace

std::optional<SearchRange> SearchRangeOf(const PlatformDiskScreen& io, const TreeItemInfo& item) {
    std::optional<SearchRange> range =
        IsCopyableItem(item) ? CopyableRange(io, item) : VolumePartRange(io, item);
    if (!range) {
        io.screen.Notify(NoLibraryGeometryText("searched"));
    }
    return range;
}

SearchOutcome SearchSectors(Platform& platform, DiskAccess& disk, const SearchRange& range,
                            const PatternMatcher& matcher, std::uint64_t fromByte,
                            const HitSink& sink, const ProgressReport& report,
                            const CancelFlag& cancel) {
    RawSearcher searcher(platform, disk, range, matcher, sink);
    return searcher.Run(fromByte, report, cancel);
}

}  // namespace brovane

#include "dump/sector_goto.h"

#include <algorithm>
#include <charconv>

#include "disk/drive_size.h"
#include "dump/cluster_dump.h"
#include "dump/dump_position.h"
#include "dump/dump_rows.h"
#include "dump/sector_dump.h"
#include "imaging/copy_extent.h"
#include "screen/command_table.h"
#include "screen/messages.h"

namespace brovane {

namespace {

// Through the disk library a sector past the first needs the drive's
// geometry, which a disk's or partition's record does not hold: it is taken
// as a copy takes it (the item's table or boot record).
TreeItemInfo WithLibraryGeometry(const PlatformDiskScreen& io, TreeItemInfo item) {
    if (io.disk.diskAccessMode != DAM_DISK_LIBRARY ||
        (item.heads != 0 && item.sectorsPerTrack != 0)) {
        return item;
    }
    std::optional<CopyExtent> extent = CopyExtentOf(io.platform, item);
    if (extent && TakeLibraryGeometry(io, item, *extent)) {
        item.heads = extent->origin.heads;
        item.sectorsPerTrack = extent->origin.sectorsPerTrack;
    }
    return item;
}

}  // namespace

std::optional<std::uint64_t> ParseSectorNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::uint64_t RawSectors(Platform& platform, const TreeItemInfo& item) {
    // A disk, floppy or partition spans what a copy of it takes.
    if (IsCopyableItem(item)) {
        return CopyExtentOf(platform, item)->sectors;
    }
    return item.volumeSectors > item.relativeSector ? item.volumeSectors - item.relativeSector : 0;
}

std::uint32_t RawFirstSector(const TreeItemInfo& item) {
    return IsCopyableItem(item) ? 0 : item.relativeSector;
}

bool GoToSector(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item,
                std::uint64_t n) {
    const std::uint64_t sectors = RawSectors(io.platform, item);
    const std::uint64_t device = DriveSectors(io.platform, item.driveNumber);
    const std::uint32_t first = RawFirstSector(item);
    const std::uint64_t absolute = std::uint64_t{item.baseSector} + first + n;
    if (n >= sectors || n > UINT32_MAX - first || absolute > UINT32_MAX ||
        (device != 0 && absolute >= device)) {
        io.screen.Notify(kSectorNotAccessibleText);
        return false;
    }
    io.screen.SetMenuChecked(CMD_RAW_DUMPING, true);
    if (!PrepareSectorDump(io, pane)) {
        return false;
    }
    pane.viewMode = VM_RAW_SECTOR_DUMP;
    pane.currentItem = WithLibraryGeometry(io, item);
    pane.currentItem.relativeSector = first;
    pane.currentItem.sectorCount =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, UINT32_MAX));
    pane.currentIndex = static_cast<std::uint32_t>(n);
    pane.canGoPrevious = n > 0;
    pane.canGoNext = n + 1 < pane.currentItem.sectorCount;
    if (ReadCurrentUnit(io, pane)) {
        InsertDumpRows(io.screen, 1);
        io.screen.SetStatusText(kPositionPane, SectorPositionText(UnitStatusSector(pane)));
    }
    io.screen.SetStatusText(kProgressPane, "");
    return true;
}

}  // namespace brovane

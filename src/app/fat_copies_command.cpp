#include "app/fat_copies_command.h"

#include <optional>
#include <string>
#include <utility>

#include "disk/first_sector_read.h"
#include "disk/memory_blocks.h"
#include "format/boot_record.h"
#include "present/fat_copies_list.h"
#include "screen/messages.h"
#include "screen/texts.h"
#include "tree/item_run.h"
#include "volume/fat_copies.h"
#include "volume/volume_layout.h"

namespace brovane {

namespace {

constexpr std::string_view kNoFatCopiesText = "The volume has no FAT copies to compare.";
constexpr std::string_view kOneFatCopyText = "The volume has one FAT copy: nothing to compare.";

// The volume's boot record, read at the first sector of the item's origin
// (a FAT item counts its sectors from its volume's), or nothing after a message.
std::optional<BootRecord> ReadVolumeBootRecord(const PlatformDiskScreen& io,
                                               const TreeItemInfo& item) {
    PlatformBlock sector = AllocateSectors(io.platform, 1);
    if (!sector) {
        io.screen.Notify(kNoBufferText);
        return std::nullopt;
    }
    SectorRun run = ItemRun(item);
    run.relativeSector = 0;
    run.sectorCount = 1;
    if (ReadFirstSectors(io, run, sector.data(), kReopenWhenNothingRead) != FirstSectorRead::Read) {
        io.screen.Notify(kBootRecordNotAccessibleText);
        return std::nullopt;
    }
    return ReadBootRecord(sector.bytes());
}

// Where the FATs lie, addressed as the tree addresses a volume's children:
// the item's origin and the boot record's geometry.
VolumeGeometry FatsOf(const TreeItemInfo& item, const BootRecord& boot,
                      const VolumeLayout& layout) {
    SectorRun origin = ItemRun(item);
    origin.relativeSector = 0;
    origin.sectorCount = 0;
    origin.heads = boot.heads;
    origin.sectorsPerTrack = boot.sectorsPerTrack;
    return {.origin = origin,
            .fatType = layout.fatType,
            .reservedSectors = layout.reservedSectors,
            .sectorsPerFat = layout.sectorsPerFat,
            .sectorsPerCluster = layout.sectorsPerCluster,
            .dataSector = 0};
}

}  // namespace

bool IsFatCopiesItem(const TreeItemInfo& item) {
    return item.kind == IK_VOLUME || item.kind == IK_FAT12 || item.kind == IK_FAT16 ||
           item.kind == IK_FAT32;
}

void CompareFatCopiesOf(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo* item) {
    if (item == nullptr || !IsFatCopiesItem(*item)) {
        return;
    }
    const std::optional<BootRecord> boot = ReadVolumeBootRecord(io, *item);
    if (!boot) {
        return;
    }
    // The partition type (or a FAT item's own type) says FAT32, as for the tree.
    const std::optional<VolumeLayout> layout = FatVolumeLayout(*boot, item->fatType == FT_FAT32);
    const unsigned copies = layout ? layout->numberOfFats : 0;
    if (copies < 2) {
        io.screen.Notify(copies == 0 ? kNoFatCopiesText : kOneFatCopyText);
        return;
    }
    io.screen.SetStatusText(kProgressPane, kWaitText);
    FatCopiesComparison comparison;
    if (!CompareFatCopies(io.platform, io.disk, FatsOf(*item, *boot, *layout), copies,
                          comparison)) {
        io.screen.SetStatusText(kProgressPane, "");
        io.screen.Notify(kNoFatBufferText);
        return;
    }
    const bool agree = comparison.differing == 0 && comparison.unreadable == 0;
    ShowFatCopies(io.screen, pane, std::move(comparison));
    if (agree) {
        io.screen.Notify("The " + std::to_string(copies) + " FAT copies agree.");
    }
}

}  // namespace brovane

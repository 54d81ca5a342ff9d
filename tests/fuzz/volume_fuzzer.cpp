// libFuzzer target: the input is one FAT volume, from its boot record on,
// put where a user meets volumes: with the media descriptor of a fixed disk
// (0xF8) as the one partition of a small hard disk, otherwise as a floppy.
// The volume is expanded with its root directory and sub-directories (to a
// bounded depth and number of items); every item is selected in structure
// mode and every cell of every row of its view is formatted (boot record,
// FAT grids, directory listings, cluster dumps of files), and so are the
// sector dumps of the volume's and the root directory's first sectors. The
// boot record's dump must show the input's bytes; the volume copied to an
// image, structure first, must be its bytes; its damage report by a map
// with bad sectors must stay within what it reports on; its FAT copies
// compared list only entries that differ or were not read. A broken check
// aborts.
//
// Whole views are formatted up to kCellBudget cells a run, which all the
// views of the small seed volumes fit (a 1.44 MB floppy's two FAT grids
// alone take 6,528 cells); a view past the budget is drawn at its first and
// last rows, so that a huge FAT costs a run no more than a small one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/little_endian.h"
#include "format/rescue_map.h"
#include "fuzz/fuzz_platform.h"
#include "fuzz/fuzz_session.h"
#include "present/dump_cell_text.h"

namespace {

using brovane::ByteSpan;
using brovane::TextScreen;
using brovane::TreeItemHandle;
namespace fuzz = brovane::fuzz;

constexpr std::size_t kMediaOffset = 21;
constexpr std::size_t kSectorsPerFat16Offset = 22;
constexpr std::uint8_t kFixedDiskMedia = 0xF8;
constexpr std::uint32_t kPartitionStart = 1;
constexpr std::uint8_t kFat16Type = 0x06;
constexpr std::uint8_t kFat32Type = 0x0C;  // FAT32, addressed by LBA
// Directories below the root that are expanded, and items visited in all.
constexpr int kMaxDirectoryDepth = 3;
constexpr int kMaxItems = 24;
// Cells formatted a run for whole views (about a millisecond's worth): a
// view that no longer fits is drawn at its ends, where its data ends.
constexpr int kCellBudget = 8192;
constexpr int kRowsAtEachEnd = 4;

// A master boot record with one active partition from kPartitionStart; a
// boot record without a 16-bit FAT size is a FAT32 one, and its partition
// is typed so.
std::vector<std::uint8_t> MasterBootRecord(ByteSpan volume, std::size_t volumeSectors) {
    std::vector<std::uint8_t> sector(fuzz::kSectorBytes);
    std::uint8_t* entry = sector.data() + 446;
    entry[0] = 0x80;
    entry[1] = 0;  // CHS 0/0/2: sector kPartitionStart
    entry[2] = 2;
    entry[3] = 0;
    entry[4] = brovane::ReadU16(volume, kSectorsPerFat16Offset) == 0 ? kFat32Type : kFat16Type;
    for (int n = 0; n < 4; ++n) {
        entry[8 + n] = static_cast<std::uint8_t>(kPartitionStart >> (8 * n));
        entry[12 + n] = static_cast<std::uint8_t>(volumeSectors >> (8 * n));
    }
    sector[510] = 0x55;
    sector[511] = 0xAA;
    return sector;
}

// The volume's item: the floppy itself, or the hard disk's partition.
TreeItemHandle VolumeItem(TextScreen& screen) {
    const std::vector<TreeItemHandle> drives = screen.Children(brovane::kTreeRoot);
    fuzz::Require(drives.size() == 1);
    if (screen.ItemText(drives[0]).rfind("Floppy", 0) == 0) {
        return drives[0];
    }
    if (!screen.Expand(drives[0])) {
        return brovane::kNoTreeItem;
    }
    const std::vector<TreeItemHandle> partitions = screen.Children(drives[0]);
    return partitions.empty() ? brovane::kNoTreeItem : partitions[0];
}

struct Walk {
    TextScreen& screen;
    int cells = kCellBudget;
    int items = kMaxItems;
};

// Selects the item in the mode and draws its view: every cell of every
// row while the budget lasts, else the first and last rows.
void Show(Walk& walk, TreeItemHandle item, fuzz::Mode mode) {
    TextScreen& screen = walk.screen;
    fuzz::SelectInMode(screen, item, mode);
    const int rows = screen.GetListItemCount();
    const int cells = rows * screen.GetListColumnCount();
    if (cells <= walk.cells) {
        walk.cells -= cells;
        fuzz::DrawAllRows(screen);
        return;
    }
    fuzz::DrawEnds(screen, kRowsAtEachEnd);
}

// The sector dump of the boot record shows the volume's first 512 bytes
// (the input's, zeros past its end), sixteen to a row, in hexadecimal and
// as themselves (a zero byte as nothing). Every cell of it is drawn.
void CheckBootRecordDump(TextScreen& screen, TreeItemHandle item, ByteSpan volume) {
    constexpr int kBytes = brovane::kDumpBytesPerRow;
    constexpr int kFirstCharacter = brovane::kDumpGapColumn + 1;
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    fuzz::SelectInMode(screen, item, fuzz::Mode::SectorCluster);
    const int rows = screen.GetListItemCount();
    fuzz::Require(rows == 32 && screen.GetListColumnCount() == kFirstCharacter + kBytes);
    for (int row = 0; row < rows; ++row) {
        screen.CellText(row, 0);
        screen.CellText(row, brovane::kDumpGapColumn);
        for (int n = 0; n < kBytes; ++n) {
            const std::uint8_t byte = brovane::ReadU8(volume, std::size_t(row * kBytes + n));
            const char hex[] = {kDigits[byte >> 4], kDigits[byte & 0xF]};
            fuzz::Require(screen.CellText(row, 1 + n) == std::string_view(hex, 2));
            const std::string text = screen.CellText(row, kFirstCharacter + n);
            fuzz::Require(byte == 0 ? text.empty()
                                    : text.size() == 1 && text[0] == static_cast<char>(byte));
        }
    }
}

// The children of a volume or directory, each shown whole in structure
// mode; directories are expanded down to the depth bound.
void VisitChildren(Walk& walk, TreeItemHandle parent, int depth) {
    for (TreeItemHandle item : walk.screen.Children(parent)) {
        if (--walk.items < 0) {
            return;
        }
        Show(walk, item, fuzz::Mode::Structure);
        if (!walk.screen.HasButton(item) || depth > kMaxDirectoryDepth ||
            !walk.screen.Expand(item)) {
            continue;
        }
        if (depth == 0) {  // the root directory's first sector, as a dump
            Show(walk, item, fuzz::Mode::SectorCluster);
        }
        VisitChildren(walk, item, depth + 1);
    }
}

// The volume copied to an image must be its sectors exactly; its damage
// report by a mapfile that marks every `every`-th sector of the drive bad
// names bytes within each item's size, and exactly the bad FAT sectors
// that lie on the drive.
void CopyAndReport(fuzz::FuzzSession& run, fuzz::FuzzPlatform& platform, TreeItemHandle item,
                   std::size_t driveSectors, unsigned every) {
    fuzz::CopyAndCompare(run, platform, item);
    brovane::RescueMap map;
    for (std::size_t sector = 0; sector < driveSectors; ++sector) {
        brovane::MarkRange(
            map.blocks, sector * fuzz::kSectorBytes, fuzz::kSectorBytes,
            sector % every == 0 ? brovane::BlockStatus::kBad : brovane::BlockStatus::kFinished);
    }
    const std::string text = brovane::FormatRescueMap(map, {});
    platform.hostFiles.files["/fuzz/map"].bytes.assign(text.begin(), text.end());
    const brovane::TreeItemInfo& info = *run.screen.GetTreeItemInfo(item);
    const std::optional<brovane::DamageReport> report =
        brovane::ReportItemDamage(run.session.Io(), run.session.pane, info, "/fuzz/map");
    fuzz::Require(report.has_value());
    for (const brovane::DamagedItem& damaged : report->items) {
        fuzz::Require(damaged.bytesAffected <= damaged.size);
    }
    for (const brovane::DamagedFatSector& fat : report->fatSectors) {
        fuzz::Require(fat.sector < driveSectors && fat.sector % every == 0);
    }
}

// The volume's FAT copies compared: a row is listed exactly for an entry
// that differs or that a copy could not read, with a value for each copy.
void CompareFats(fuzz::FuzzSession& run, TreeItemHandle item) {
    fuzz::SelectInMode(run.screen, item, fuzz::Mode::Structure);
    run.session.OnCommand(brovane::CMD_COMPARE_FATS);
    const brovane::FatCopiesComparison& compared = run.session.pane.fatCopies;
    const std::size_t rows = compared.entries.size();
    fuzz::Require(rows <= compared.differing + compared.unreadable &&
                  rows >= std::max(compared.differing, compared.unreadable) &&
                  compared.values.size() == rows * compared.copies);
    fuzz::DrawEnds(run.screen, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::KeptBlocks kept;  // lives as long as the fuzzing process
    const ByteSpan volume(data, size);
    const std::size_t volumeSectors = fuzz::SectorsFor(size);
    fuzz::FuzzPlatform platform(kept);
    if (brovane::ReadU8(volume, kMediaOffset) == kFixedDiskMedia) {
        brovane::MemoryDisk& disk =
            *platform.FindDisk(platform.AddHardDisk(kPartitionStart + volumeSectors));
        const std::vector<std::uint8_t> mbr = MasterBootRecord(volume, volumeSectors);
        fuzz::FillDisk(disk, 0, mbr.data(), mbr.size());
        fuzz::FillDisk(disk, kPartitionStart, data, size);
    } else {
        fuzz::FillDisk(*platform.FindDisk(platform.AddFloppy(volumeSectors)), 0, data, size);
    }
    fuzz::FuzzSession run(platform, volumeSectors * fuzz::kSectorBytes, false);
    TextScreen& screen = run.screen;
    const TreeItemHandle item = VolumeItem(screen);
    if (item == brovane::kNoTreeItem) {
        return 0;
    }
    CopyAndReport(run, platform, item,
                  platform.FindDisk(screen.GetTreeItemInfo(item)->driveNumber)->sectorCount,
                  1 + brovane::ReadU8(volume, 0) % 7);
    CompareFats(run, item);
    Walk walk{screen};
    Show(walk, item, fuzz::Mode::Structure);
    CheckBootRecordDump(screen, item, volume);
    if (screen.Expand(item)) {
        VisitChildren(walk, item, 0);
    }
    return 0;
}

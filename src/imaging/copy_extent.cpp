#include "imaging/copy_extent.h"

#include <algorithm>

#include "disk/drive_size.h"
#include "disk/first_sector_read.h"
#include "disk/memory_blocks.h"
#include "format/boot_record.h"
#include "imaging/library_geometry.h"
#include "tree/item_run.h"

namespace brovane {

namespace {

constexpr std::uint64_t kMaxCopySectors = std::uint64_t{1} << 32;

bool IsFloppyItem(const TreeItemInfo& item) {
    return item.driveNumber < kFirstHardDisk;
}

bool IsPartitionItem(const TreeItemInfo& item) {
    return item.kind == IK_VOLUME || item.kind == IK_EXTENDED || item.kind == IK_UNKNOWN;
}

constexpr std::uint16_t kAnyHeads = 255;
constexpr std::uint16_t kAnySectorsPerTrack = 63;

// A disk's or extended partition's table fixes the geometry by its entries'
// CHS; a volume's boot record says it.
std::optional<TableGeometry> GeometryOfItem(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                            const SectorRun& origin) {
    PlatformBlock sector = AllocateSectors(io.platform, 1);
    SectorRun first = origin;
    first.sectorCount = 1;
    if (!sector || ReadFirstSectors(io, first, sector.data(), kReopenWhenNothingRead) !=
                       FirstSectorRead::Read) {
        return std::nullopt;
    }
    if (item.kind == IK_HARD_DISK || item.kind == IK_EXTENDED) {
        return GeometryOfTable(sector.bytes(), origin.baseSector, item.kind == IK_EXTENDED);
    }
    const BootRecord boot = ReadBootRecord(sector.bytes());
    if (boot.heads == 0 || boot.heads > 256 || boot.sectorsPerTrack == 0 ||
        boot.sectorsPerTrack > 63) {
        return std::nullopt;
    }
    return TableGeometry{boot.heads, boot.sectorsPerTrack};
}

}  // namespace

bool IsCopyableItem(const TreeItemInfo& item) {
    return item.kind == IK_HARD_DISK || IsPartitionItem(item);
}

std::optional<CopyExtent> CopyExtentOf(Platform& platform, const TreeItemInfo& item) {
    const std::uint64_t device = DriveSectors(platform, item.driveNumber);
    CopyExtent extent;
    extent.origin = ItemRun(item);
    extent.origin.relativeSector = 0;
    extent.origin.sectorCount = 0;
    if (IsFloppyItem(item)) {
        // The floppy's root record addresses the drive from its first sector.
        extent.origin.baseSector = 0;
        extent.origin.cylinder = 0;
        extent.origin.head = 0;
        extent.origin.sector = 1;
        extent.sectors = device;
        extent.structure = CopyStructure::kVolume;
    } else if (item.kind == IK_HARD_DISK) {
        extent.sectors = device;
        extent.structure = CopyStructure::kDisk;
    } else if (IsPartitionItem(item)) {
        const std::uint64_t room = device > item.baseSector ? device - item.baseSector : 0;
        extent.sectors =
            device == 0 ? item.volumeSectors : std::min<std::uint64_t>(item.volumeSectors, room);
        extent.structure = item.kind == IK_VOLUME ? CopyStructure::kVolume : CopyStructure::kNone;
        extent.fat32Indicator = item.fatType == FT_FAT32;
    } else {
        return std::nullopt;
    }
    extent.sectors = std::min(extent.sectors, kMaxCopySectors);
    return extent;
}

// What the table or boot record gives, else, for a drive the library
// addresses by sector number (its extension value is not 0), any geometry:
// then none is used.
bool TakeLibraryGeometry(const PlatformDiskScreen& io, const TreeItemInfo& item,
                         CopyExtent& extent) {
    SectorRun& origin = extent.origin;
    if (io.disk.diskAccessMode != DAM_DISK_LIBRARY ||
        (origin.heads != 0 && origin.sectorsPerTrack != 0)) {
        return true;
    }
    if (std::optional<TableGeometry> geometry = GeometryOfItem(io, item, origin)) {
        origin.heads = geometry->heads;
        origin.sectorsPerTrack = geometry->sectorsPerTrack;
        return true;
    }
    if (origin.int13Extensions != 0) {
        origin.heads = kAnyHeads;
        origin.sectorsPerTrack = kAnySectorsPerTrack;
        return true;
    }
    return false;
}

}  // namespace brovane

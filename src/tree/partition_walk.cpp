#include "tree/partition_walk.h"

#include <cstdint>

#include "disk/first_sector_read.h"
#include "disk/memory_blocks.h"
#include "disk/sector_transfer.h"
#include "format/boot_record.h"
#include "format/partition_entry.h"
#include "tree/directory_listing.h"
#include "tree/item_run.h"
#include "tree/system_indicators.h"

namespace brovane {

namespace {

// Below this cluster estimate a volume is FAT12.
constexpr std::uint32_t kFat12ClusterLimit = 4096;

// The item being expanded and the child inserted last, so that each new
// child goes right behind the one before.
struct Expansion {
    const PlatformDiskScreen& io;
    ItemStorage& items;
    TreeWalkState& walk;
    TreeItemHandle item;
    const TreeItemInfo& parent;
    TreeItemHandle lastChild = kInsertLast;
};

// A new record for a child, or nullptr after saying that none can be had.
TreeItemInfo* NewChildRecord(Expansion& expansion) {
    TreeItemInfo* record = AppendItemRecord(expansion.items);
    if (record == nullptr) {
        expansion.io.screen.Notify("Packets memory not enough");
    }
    return record;
}

void InsertChild(Expansion& expansion, std::string_view text, bool hasChildren,
                 TreeItemInfo* record) {
    expansion.lastChild = expansion.io.screen.InsertTreeItem(expansion.item, expansion.lastChild,
                                                             text, hasChildren, record);
}

enum class SectorOutcome { Read, Failed, Refused };

// Reads the item's first sector into buffer, showing failureText when it
// cannot be read.
SectorOutcome ReadItemSector(Expansion& expansion, std::uint8_t* buffer,
                             std::string_view failureText) {
    ScreenOperations& screen = expansion.io.screen;
    if (buffer == nullptr) {
        screen.Notify("Fatal Error!  Not able to allocate a Buffer!");
        return SectorOutcome::Failed;
    }
    constexpr FloppyReopen kOpenFloppyFirst{true, false, false};
    switch (ReadFirstSectors(expansion.io, ItemRun(expansion.parent), buffer, kOpenFloppyFirst)) {
        case FirstSectorRead::Read:
            return SectorOutcome::Read;
        case FirstSectorRead::OpenFailed:
            screen.Notify("Drive not accessible!");
            return SectorOutcome::Refused;
        case FirstSectorRead::NotRead:
            break;
    }
    screen.Notify(failureText);
    return SectorOutcome::Failed;
}

// A partition's record: the drive and extension value of the table's item,
// the entry's CHS start and the given base.
void AddPartition(Expansion& expansion, const PartitionEntry& entry, bool inExtendedTable,
                  std::uint32_t baseSector) {
    const SystemIndicatorInfo& info = LookUpSystemIndicator(entry.systemIndicator);
    TreeItemInfo* record = NewChildRecord(expansion);
    if (record == nullptr) {
        return;
    }
    record->driveNumber = expansion.parent.driveNumber;
    record->int13Extensions = expansion.parent.int13Extensions;
    record->cylinder = entry.startCylinder;
    record->head = entry.startHead;
    record->sector = entry.startSector;
    record->sectorCount = 1;
    record->kind = inExtendedTable ? info.kindInExtendedTable : info.kindInMasterBootRecord;
    record->fatType = info.fatType;
    record->relativeSector = record->kind == IK_UNKNOWN ? 1 : 0;
    record->baseSector = baseSector;
    InsertChild(expansion, info.text, record->kind != IK_UNKNOWN, record);
}

// A sector number from disk fields (partition entries, boot records),
// computed in 64 bits. One beyond 32 bits becomes the last sector number
// there is, which lies past every volume and past the end of every disk
// under 2 TiB, so the item is never read at a wrapped-around address.
std::uint32_t SectorFromFields(std::uint64_t sector) {
    return sector > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(sector);
}

// Reads the item's partition table and adds a child per used entry, in
// table order, at the base sector baseOf gives it.
template <typename BaseOf>
SectorOutcome WalkTable(Expansion& expansion, std::string_view failureText, bool inExtendedTable,
                        BaseOf baseOf) {
    PlatformBlock table = AllocateSectors(expansion.io.platform, expansion.parent.sectorCount);
    SectorOutcome outcome = ReadItemSector(expansion, table.data(), failureText);
    if (outcome != SectorOutcome::Read) {
        return outcome;
    }
    for (int index = 0; index < kPartitionEntries; ++index) {
        PartitionEntry entry = ReadPartitionEntry(table.bytes(), index);
        if (entry.systemIndicator != kEmptyEntry) {
            AddPartition(expansion, entry, inExtendedTable, SectorFromFields(baseOf(entry)));
        }
    }
    return SectorOutcome::Read;
}

// Primaries lie where their entries say; an extended entry also becomes
// the disk's extended base.
SectorOutcome WalkMasterBootRecord(Expansion& expansion) {
    std::uint32_t& extendedBase = expansion.walk.extendedBase[expansion.parent.driveNumber];
    extendedBase = 0;
    return WalkTable(expansion, "Partition table not accessible!", false,
                     [&extendedBase](const PartitionEntry& entry) {
                         if (IsExtendedIndicator(entry.systemIndicator)) {
                             extendedBase = entry.relativeSectors;
                         }
                         return entry.relativeSectors;
                     });
}

// Logical partitions count from their own table, links to the next table
// from the first extended partition.
SectorOutcome WalkExtendedTable(Expansion& expansion) {
    std::uint32_t extendedBase = expansion.walk.extendedBase[expansion.parent.driveNumber];
    std::uint32_t tableBase = expansion.parent.baseSector;
    return WalkTable(expansion, "Extended partition not accessible!", true,
                     [extendedBase, tableBase](const PartitionEntry& entry) {
                         bool link = IsExtendedIndicator(entry.systemIndicator);
                         return std::uint64_t{link ? extendedBase : tableBase} +
                                entry.relativeSectors;
                     });
}

// FAT32 when the partition type says so; otherwise by the cluster estimate
// over every sector of the volume.
std::uint16_t DecideFatType(const TreeItemInfo& volume, const BootRecord& boot) {
    if (volume.fatType == FT_FAT32) {
        return FT_FAT32;
    }
    return TotalSectors(boot) / boot.sectorsPerCluster < kFat12ClusterLimit ? FT_FAT12 : FT_FAT16;
}

// What every child of a volume takes from the volume and its boot record.
TreeItemInfo VolumeChildBase(const TreeItemInfo& volume, const BootRecord& boot,
                             std::uint16_t fatType) {
    TreeItemInfo child{};
    child.driveNumber = volume.driveNumber;
    child.cylinder = volume.cylinder;
    child.head = volume.head;
    child.sector = volume.sector;
    child.baseSector = volume.baseSector;
    child.int13Extensions = volume.int13Extensions;
    child.fatType = fatType;
    child.heads = boot.heads;
    child.sectorsPerTrack = boot.sectorsPerTrack;
    child.sectorsPerCluster = boot.sectorsPerCluster;
    child.volumeSectors = TotalSectors(boot);
    return child;
}

void AddRootDirectory(Expansion& expansion, TreeItemInfo root, const BootRecord& boot) {
    root.reservedSectors = boot.reservedSectors;
    root.relativeSector = SectorFromFields(boot.reservedSectors +
                                           std::uint64_t{boot.numberOfFats} * root.sectorsPerFat);
    if (root.fatType == FT_FAT32) {
        root.kind = IK_DIR_ENTRY;
        root.sectorCount = 0;
        root.attributes = kDirectoryAttribute;
        root.firstCluster = boot.rootCluster;
        root.firstDataSector = root.relativeSector;
    } else {
        root.kind = IK_ROOT_DIR;
        root.sectorCount =
            static_cast<std::uint32_t>(boot.rootEntries * kDirectoryEntryBytes / kSectorBytes);
        root.firstDataSector =
            SectorFromFields(std::uint64_t{root.relativeSector} + root.sectorCount);
    }
    if (TreeItemInfo* record = NewChildRecord(expansion)) {
        *record = root;
        InsertChild(expansion, "Root Directory", true, record);
    }
}

SectorOutcome BuildVolumeChildren(Expansion& expansion) {
    PlatformBlock sector = AllocateSectors(expansion.io.platform, expansion.parent.sectorCount);
    SectorOutcome outcome = ReadItemSector(expansion, sector.data(), "Boot Record not accessible!");
    if (outcome != SectorOutcome::Read) {
        return outcome;
    }
    BootRecord boot = ReadBootRecord(sector.bytes());
    // Nothing to divide by: not a FAT boot record, so no FATs to show.
    if (boot.sectorsPerCluster == 0 || boot.bytesPerSector == 0) {
        return SectorOutcome::Read;
    }
    std::uint16_t fatType = DecideFatType(expansion.parent, boot);
    TreeItemInfo base = VolumeChildBase(expansion.parent, boot, fatType);
    base.sectorsPerFat = fatType == FT_FAT32 ? boot.sectorsPerFat32 : boot.sectorsPerFat16;
    for (unsigned n = 1; n <= boot.numberOfFats; ++n) {
        TreeItemInfo* record = NewChildRecord(expansion);
        if (record == nullptr) {
            return SectorOutcome::Failed;
        }
        *record = base;
        record->sectorsPerFat = 0;
        record->kind = fatType;
        record->sectorCount = base.sectorsPerFat;
        record->relativeSector =
            SectorFromFields(boot.reservedSectors + std::uint64_t{n - 1} * base.sectorsPerFat);
        InsertChild(expansion, "FAT " + std::to_string(n), false, record);
    }
    AddRootDirectory(expansion, base, boot);
    return SectorOutcome::Read;
}

}  // namespace

bool ExpandItem(const PlatformDiskScreen& io, ItemStorage& items, TreeWalkState& walk, TreeItemHandle item,
                TreeItemInfo* info, bool expandedOnce) {
    io.screen.SetStatusText(kProgressPane, "");
    if (expandedOnce || info == nullptr) {
        return true;
    }
    Expansion expansion{io, items, walk, item, *info};
    SectorOutcome outcome = SectorOutcome::Read;
    switch (info->kind) {
        case IK_HARD_DISK:
            outcome = WalkMasterBootRecord(expansion);
            break;
        case IK_EXTENDED:
            outcome = WalkExtendedTable(expansion);
            break;
        case IK_VOLUME:
            outcome = BuildVolumeChildren(expansion);
            break;
        // A listing ended by a message leaves the progress text as it is.
        case IK_ROOT_DIR:
            if (!ListRootDirectory(io, items, item, *info)) {
                return true;
            }
            break;
        case IK_DIR_ENTRY:
            if (!ListChainDirectory(io, items, item, *info)) {
                return true;
            }
            break;
        default:
            break;
    }
    io.screen.SetStatusText(kProgressPane, "");
    return outcome != SectorOutcome::Refused;
}

}  // namespace brovane

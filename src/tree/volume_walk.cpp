#include "tree/volume_walk.h"

#include "screen/messages.h"

#include <string>

#include "disk/memory_blocks.h"
#include "format/boot_record.h"
#include "format/directory_entry.h"

namespace brovane {

namespace {

// Below this cluster estimate a volume is FAT12.
constexpr std::uint32_t kFat12ClusterLimit = 4096;

// FAT32 when the partition type says so; otherwise by the cluster estimate
// over every sector of the volume.
std::uint16_t DecideFatType(const TreeItemInfo& volume, const BootRecord& boot) {
    if (volume.fatType == FT_FAT32) {
        return FT_FAT32;
    }
    return TotalSectors(boot) / boot.sectorsPerCluster < kFat12ClusterLimit ? FT_FAT12 : FT_FAT16;
}

// What every child of a volume takes from the volume and its boot record.
TreeItemInfo VolumeChildBase(const TreeItemInfo& volume, const BootRecord& boot) {
    const std::uint16_t fatType = DecideFatType(volume, boot);
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
    child.sectorsPerFat = fatType == FT_FAT32 ? boot.sectorsPerFat32 : boot.sectorsPerFat16;
    return child;
}

// "FAT 1" to "FAT n", one after the other behind the reserved sectors.
bool AddFats(Expansion& expansion, const TreeItemInfo& base, const BootRecord& boot) {
    for (unsigned n = 1; n <= boot.numberOfFats; ++n) {
        TreeItemInfo* record = NewChildRecord(expansion);
        if (record == nullptr) {
            return false;
        }
        *record = base;
        record->sectorsPerFat = 0;
        record->kind = base.fatType;
        record->sectorCount = base.sectorsPerFat;
        record->relativeSector =
            SectorFromFields(boot.reservedSectors + std::uint64_t{n - 1} * base.sectorsPerFat);
        InsertChild(expansion, "FAT " + std::to_string(n), false, record);
    }
    return true;
}

// Behind the FATs: FAT32's root is a cluster chain, the others' a run of
// sectors sized by the root entry count.
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

}  // namespace

SectorOutcome WalkVolumeBootRecord(Expansion& expansion) {
    PlatformBlock sector = AllocateSectors(expansion.io.platform, expansion.parent.sectorCount);
    SectorOutcome outcome = ReadItemSector(expansion, sector.data(), kBootRecordNotAccessibleText);
    if (outcome != SectorOutcome::Read) {
        return outcome;
    }
    BootRecord boot = ReadBootRecord(sector.bytes());
    // Nothing to divide by: not a FAT boot record, so no FATs to show.
    if (boot.sectorsPerCluster == 0 || boot.bytesPerSector == 0) {
        return SectorOutcome::Read;
    }
    const TreeItemInfo base = VolumeChildBase(expansion.parent, boot);
    if (!AddFats(expansion, base, boot)) {
        return SectorOutcome::Failed;
    }
    AddRootDirectory(expansion, base, boot);
    return SectorOutcome::Read;
}

}  // namespace brovane

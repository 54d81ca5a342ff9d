#include "tree/volume_walk.h"

#include "screen/messages.h"

#include <string>

#include "disk/memory_blocks.h"
#include "format/boot_record.h"
#include "format/directory_entry.h"
#include "volume/volume_layout.h"

namespace brovane {

namespace {

// What every child of a volume takes from the volume and its boot record.
TreeItemInfo VolumeChildBase(const TreeItemInfo& volume, const BootRecord& boot,
                             const VolumeLayout& layout) {
    TreeItemInfo child{};
    child.driveNumber = volume.driveNumber;
    child.cylinder = volume.cylinder;
    child.head = volume.head;
    child.sector = volume.sector;
    child.baseSector = volume.baseSector;
    child.int13Extensions = volume.int13Extensions;
    child.fatType = layout.fatType;
    child.heads = boot.heads;
    child.sectorsPerTrack = boot.sectorsPerTrack;
    child.sectorsPerCluster = layout.sectorsPerCluster;
    child.volumeSectors = layout.totalSectors;
    child.sectorsPerFat = layout.sectorsPerFat;
    return child;
}

// "FAT 1" to "FAT n", one after the other behind the reserved sectors.
bool AddFats(Expansion& expansion, const TreeItemInfo& base, const VolumeLayout& layout) {
    for (unsigned n = 1; n <= layout.numberOfFats; ++n) {
        TreeItemInfo* record = NewChildRecord(expansion);
        if (record == nullptr) {
            return false;
        }
        *record = base;
        record->sectorsPerFat = 0;
        record->kind = base.fatType;
        record->sectorCount = base.sectorsPerFat;
        record->relativeSector = SectorFromFields(FatSector(layout, n));
        InsertChild(expansion, "FAT " + std::to_string(n), false, record);
    }
    return true;
}

// Behind the FATs: FAT32's root is a cluster chain, the others' a run of
// sectors sized by the root entry count.
void AddRootDirectory(Expansion& expansion, TreeItemInfo root, const BootRecord& boot,
                      const VolumeLayout& layout) {
    root.reservedSectors = boot.reservedSectors;
    root.relativeSector = SectorFromFields(layout.rootSector);
    if (root.fatType == FT_FAT32) {
        root.kind = IK_DIR_ENTRY;
        root.sectorCount = 0;
        root.attributes = kDirectoryAttribute;
        root.firstCluster = layout.rootCluster;
        root.firstDataSector = root.relativeSector;
    } else {
        root.kind = IK_ROOT_DIR;
        root.sectorCount = layout.rootSectors;
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
    // Not a FAT boot record: no FATs to show.
    const auto layout = FatVolumeLayout(boot, expansion.parent.fatType == FT_FAT32);
    if (!layout) {
        return SectorOutcome::Read;
    }
    const TreeItemInfo base = VolumeChildBase(expansion.parent, boot, *layout);
    if (!AddFats(expansion, base, *layout)) {
        return SectorOutcome::Failed;
    }
    AddRootDirectory(expansion, base, boot, *layout);
    return SectorOutcome::Read;
}

}  // namespace brovane

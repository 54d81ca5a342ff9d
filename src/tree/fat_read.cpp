#include "tree/fat_read.h"

#include "disk/memory_blocks.h"
#include "disk/sector_transfer.h"
#include "tree/item_run.h"
#include "tree/volume_bounds.h"

namespace brovane {

namespace {

TreeItemInfo FirstFat(const TreeItemInfo& item) {
    TreeItemInfo fat = item;
    fat.relativeSector = item.reservedSectors;
    fat.sectorCount = item.sectorsPerFat;
    return fat;
}

}  // namespace

PlatformBlock AllocateFatImage(Platform& platform, const TreeItemInfo& item) {
    if (!FitsInVolumeAndDrive(platform, FirstFat(item))) {
        return {};
    }
    // A FAT of 0 sectors is an empty image, in which no chain goes anywhere.
    if (item.sectorsPerFat == 0) {
        return PlatformBlock::Allocate(platform, 0);
    }
    return AllocateSectors(platform, item.sectorsPerFat);
}

bool ReadFatCopy(const PlatformDiskScreen& io, const TreeItemInfo& item, PlatformBlock& fat) {
    TreeItemInfo copy = FirstFat(item);
    if (std::uint64_t{copy.sectorCount} * kSectorBytes > fat.size()) {
        return false;
    }
    if (ReadSectors(io, ItemRun(copy), fat.data())) {
        return true;
    }
    std::uint64_t second = std::uint64_t{copy.relativeSector} + item.sectorsPerFat;
    if (second > UINT32_MAX) {
        return false;
    }
    copy.relativeSector = static_cast<std::uint32_t>(second);
    return ReadSectors(io, ItemRun(copy), fat.data());
}

}  // namespace brovane

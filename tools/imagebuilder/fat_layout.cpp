// Volume layout: reserved area, FAT copies, FAT12/16 root directory, data.
// Sectors per FAT, when not given, is the fewest that describe every cluster
// of the data area that remains once those FATs are placed.
#include <cstdint>
#include <string>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

namespace {

std::uint64_t FatBytes(FatKind kind, std::uint64_t clusters) {
    const std::uint64_t entries = clusters + 2;
    switch (kind) {
        case FatKind::Fat12:
            return (entries * 3 + 1) / 2;
        case FatKind::Fat16:
            return entries * 2;
        case FatKind::Fat32:
            return entries * 4;
    }
    return 0;
}

std::uint64_t DataClusters(const FatVolume& volume, const VolumeLayout& layout,
                           std::uint64_t sectorsPerFat) {
    const std::uint64_t used =
        layout.reservedSectors + volume.fatCount * sectorsPerFat + layout.rootDirSectors;
    return used >= volume.totalSectors ? 0
                                       : (volume.totalSectors - used) / volume.sectorsPerCluster;
}

std::uint64_t SectorsNeeded(const FatVolume& volume, const VolumeLayout& layout,
                            std::uint64_t sectorsPerFat) {
    const std::uint64_t bytes = FatBytes(volume.kind, DataClusters(volume, layout, sectorsPerFat));
    return (bytes + kSectorBytes - 1) / kSectorBytes;
}

std::uint32_t FewestSectorsPerFat(const FatVolume& volume, const VolumeLayout& layout) {
    std::uint64_t sectors = SectorsNeeded(volume, layout, 0);
    while (sectors > 1 && SectorsNeeded(volume, layout, sectors - 1) <= sectors - 1) {
        --sectors;
    }
    return static_cast<std::uint32_t>(sectors);
}

}  // namespace

bool ComputeLayout(const FatVolume& volume, VolumeLayout& layout, std::string& error) {
    if (volume.sectorsPerCluster == 0 || volume.fatCount == 0) {
        error = "sectors per cluster and the number of FATs must not be 0 (use a boot override)";
        return false;
    }
    const bool fat32 = volume.kind == FatKind::Fat32;
    layout = {};
    layout.reservedSectors =
        volume.reservedSectors != 0 ? volume.reservedSectors : (fat32 ? 32 : 1);
    layout.rootDirSectors =
        fat32 ? 0 : (volume.rootEntryCount * 32u + kSectorBytes - 1) / kSectorBytes;
    layout.sectorsPerFat =
        volume.sectorsPerFat != 0 ? volume.sectorsPerFat : FewestSectorsPerFat(volume, layout);
    layout.rootDirSector = layout.reservedSectors + volume.fatCount * layout.sectorsPerFat;
    layout.firstDataSector = layout.rootDirSector + layout.rootDirSectors;
    layout.clusterCount =
        static_cast<std::uint32_t>(DataClusters(volume, layout, layout.sectorsPerFat));
    if (SectorsNeeded(volume, layout, layout.sectorsPerFat) > layout.sectorsPerFat) {
        error = std::to_string(layout.sectorsPerFat) + " sectors per FAT cannot describe " +
                std::to_string(layout.clusterCount) + " clusters";
        return false;
    }
    if (layout.clusterCount == 0) {
        error = "the volume of " + std::to_string(volume.totalSectors) +
                " sectors has no data clusters";
        return false;
    }
    return true;
}

}  // namespace brovane::imagebuilder

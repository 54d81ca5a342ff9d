#include "volume/volume_layout.h"

#include "format/directory_entry.h"
#include "format/fat_entry.h"
#include "platform/disk_units.h"

namespace brovane {

namespace {

constexpr std::uint32_t kFat12ClusterLimit = 4096;

}  // namespace

std::uint16_t DecideFatType(const BootRecord& boot, bool fat32Indicator) {
    if (fat32Indicator) {
        return kFat32Code;
    }
    return TotalSectors(boot) / boot.sectorsPerCluster < kFat12ClusterLimit ? kFat12Code
                                                                            : kFat16Code;
}

std::uint64_t FatSector(const VolumeLayout& layout, unsigned n) {
    return layout.reservedSectors + std::uint64_t{n - 1} * layout.sectorsPerFat;
}

std::optional<VolumeLayout> FatVolumeLayout(const BootRecord& boot, bool fat32Indicator) {
    if (boot.sectorsPerCluster == 0 || boot.bytesPerSector == 0) {
        return std::nullopt;
    }
    VolumeLayout layout;
    layout.fatType = DecideFatType(boot, fat32Indicator);
    layout.reservedSectors = boot.reservedSectors;
    layout.numberOfFats = boot.numberOfFats;
    layout.sectorsPerFat =
        layout.fatType == kFat32Code ? boot.sectorsPerFat32 : boot.sectorsPerFat16;
    layout.sectorsPerCluster = boot.sectorsPerCluster;
    layout.rootSector = FatSector(layout, boot.numberOfFats + 1u);
    if (layout.fatType == kFat32Code) {
        layout.rootCluster = boot.rootCluster;
    } else {
        layout.rootSectors =
            static_cast<std::uint32_t>(boot.rootEntries * kDirectoryEntryBytes / kSectorBytes);
    }
    layout.dataSector = layout.rootSector + layout.rootSectors;
    layout.totalSectors = TotalSectors(boot);
    return layout;
}

}  // namespace brovane

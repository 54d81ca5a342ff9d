#include "volume/fat_image.h"

#include <algorithm>

#include "disk/sector_transfer.h"
#include "volume/volume_blocks.h"

namespace brovane {

PlatformBlock AllocateFatImage(Platform& platform, const VolumeGeometry& volume) {
    return AllocateVolumeSectors(platform, volume, volume.sectorsPerFat);
}

bool ReadFat(const PlatformDiskScreen& io, const VolumeGeometry& volume, PlatformBlock& fat) {
    if (std::uint64_t{volume.sectorsPerFat} * kSectorBytes > fat.size()) {
        return false;
    }
    if (ReadSectors(io, VolumeRun(volume, volume.reservedSectors, volume.sectorsPerFat),
                    fat.data())) {
        return true;
    }
    const std::uint64_t second = std::uint64_t{volume.reservedSectors} + volume.sectorsPerFat;
    if (second > UINT32_MAX) {
        return false;
    }
    return ReadSectors(io,
                       VolumeRun(volume, static_cast<std::uint32_t>(second), volume.sectorsPerFat),
                       fat.data());
}

ByteSpan FatBytes(const VolumeGeometry& volume, const PlatformBlock& fat) {
    const std::uint64_t bytes = std::uint64_t{volume.sectorsPerFat} * kSectorBytes;
    return SubSpan(fat.bytes(), 0,
                   static_cast<std::size_t>(std::min<std::uint64_t>(bytes, fat.size())));
}

}  // namespace brovane

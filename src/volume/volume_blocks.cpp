#include "volume/volume_blocks.h"

#include "disk/drive_size.h"
#include "disk/memory_blocks.h"

namespace brovane {

bool FitsVolumeDrive(Platform& platform, std::uint16_t driveNumber, std::uint64_t sectors) {
    return sectors <= kMaxBlockBytes / kSectorBytes && FitsOnDrive(platform, driveNumber, sectors);
}

PlatformBlock AllocateVolumeSectors(Platform& platform, const VolumeGeometry& volume,
                                    std::uint64_t sectors) {
    if (!FitsVolumeDrive(platform, volume.origin.driveNumber, sectors)) {
        return {};
    }
    if (sectors == 0) {
        return PlatformBlock::Allocate(platform, 0);
    }
    return AllocateSectors(platform, sectors);
}

}  // namespace brovane

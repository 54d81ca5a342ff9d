#include "disk/memory_blocks.h"

#include "disk/sector_transfer.h"

namespace brovane {

std::uint8_t* AllocateSectors(Platform& platform, std::uint64_t sectors) {
    if (sectors == 0 || sectors > kMaxBlockBytes / kSectorBytes) {
        return nullptr;
    }
    return static_cast<std::uint8_t*>(platform.AllocateZeroed(sectors * kSectorBytes));
}

}  // namespace brovane

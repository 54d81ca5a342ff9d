#include "disk/memory_blocks.h"

#include "disk/sector_run.h"

namespace brovane {

PlatformBlock AllocateSectors(Platform& platform, std::uint64_t sectors) {
    if (sectors == 0 || sectors > kMaxBlockBytes / kSectorBytes) {
        return {};
    }
    return PlatformBlock::Allocate(platform, static_cast<std::size_t>(sectors * kSectorBytes));
}

}  // namespace brovane

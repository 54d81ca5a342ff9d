// Data blocks from the platform's zero-filled allocation, sized from disk
// fields in 64 bits. A size that is zero, overflows, or is larger than any
// structure of a FAT volume can be is refused like a failed allocation.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/platform_block.h"

namespace brovane {

// The largest block handed out: a FAT of 2^28 entries of 4 bytes.
inline constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << 30;

// An empty handle when the size is refused or the memory cannot be had.
PlatformBlock AllocateSectors(Platform& platform, std::uint64_t sectors);

}  // namespace brovane

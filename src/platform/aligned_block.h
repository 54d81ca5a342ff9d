// Zero-filled memory blocks aligned to a sector, as direct device transfers
// need them.
#pragma once

#include <cstddef>

namespace brovane {

inline constexpr std::size_t kBlockAlignment = 4096;

// A zero-filled block of at least bytes (one alignment unit for 0); nullptr
// when the size rounded up to the alignment overflows or memory is short.
void* AllocateAlignedZeroed(std::size_t bytes);
void FreeAligned(void* block);

}  // namespace brovane

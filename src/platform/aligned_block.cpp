#include "platform/aligned_block.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace brovane {

void* AllocateAlignedZeroed(std::size_t bytes) {
    if (bytes > std::numeric_limits<std::size_t>::max() - (kBlockAlignment - 1)) {
        return nullptr;
    }
    const std::size_t rounded =
        bytes == 0 ? kBlockAlignment
                   : (bytes + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
    void* block = std::aligned_alloc(kBlockAlignment, rounded);
    if (block != nullptr) {
        std::memset(block, 0, rounded);
    }
    return block;
}

void FreeAligned(void* block) {
    std::free(block);
}

}  // namespace brovane

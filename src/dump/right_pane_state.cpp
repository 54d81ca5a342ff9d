#include "dump/right_pane_state.h"

#include "disk/memory_blocks.h"
#include "disk/sector_transfer.h"

namespace brovane {

void ReleaseCurrentBuffer(Platform& platform, RightPaneState& pane) {
    if (pane.currentBuffer != nullptr) {
        platform.FreeMemory(pane.currentBuffer);
    }
    pane.currentBuffer = nullptr;
    pane.currentBufferBytes = 0;
}

bool ReplaceCurrentBuffer(Platform& platform, RightPaneState& pane, std::uint64_t sectors) {
    ReleaseCurrentBuffer(platform, pane);
    pane.currentBuffer = AllocateSectors(platform, sectors);
    if (pane.currentBuffer == nullptr) {
        return false;
    }
    pane.currentBufferBytes = sectors * kSectorBytes;
    return true;
}

}  // namespace brovane

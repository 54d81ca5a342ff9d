#include "present/right_pane_state.h"

#include "disk/memory_blocks.h"

namespace brovane {

bool ReplaceCurrentBuffer(Platform& platform, RightPaneState& pane, std::uint64_t sectors) {
    pane.currentBuffer.Release();
    pane.currentBuffer = AllocateSectors(platform, sectors);
    return static_cast<bool>(pane.currentBuffer);
}

void ReleasePaneBlocks(RightPaneState& pane) {
    pane.currentBuffer.Release();
    pane.clusterChain.Release();
    ReleaseDirectoryRowStore(pane.directoryRows);
    ReleaseFatCopies(pane);
}

void ReleaseUnit(RightPaneState& pane, ViewMode mode) {
    ReleasePaneBlocks(pane);
    pane.viewMode = mode;
    pane.canGoPrevious = false;
    pane.canGoNext = false;
    pane.unitRead = false;
}

void ReleaseFatCopies(RightPaneState& pane) {
    pane.fatCopies = {};
}

}  // namespace brovane

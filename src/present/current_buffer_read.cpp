#include "present/current_buffer_read.h"

#include "disk/sector_run.h"
#include "tree/item_run.h"

namespace brovane {

bool ReadIntoCurrentBuffer(const PlatformDiskScreen& io, RightPaneState& pane,
                           const TreeItemInfo& item, FloppyReopen reopen, ReadFailureTexts texts) {
    // The read never runs past the block the pane holds.
    std::uint64_t bytes = std::uint64_t{item.sectorCount} * kSectorBytes;
    if (!pane.currentBuffer || bytes == 0 || pane.currentBuffer.size() < bytes) {
        return false;
    }
    switch (ReadFirstSectors(io, ItemRun(item), pane.currentBuffer.data(), reopen)) {
        case FirstSectorRead::Read:
            return true;
        case FirstSectorRead::OpenFailed:
            return false;
        case FirstSectorRead::NotRead:
            break;
    }
    bool library = io.disk.diskAccessMode == DAM_DISK_LIBRARY;
    io.screen.Notify(library ? texts.diskLibrary : texts.devicePath);
    return false;
}

}  // namespace brovane

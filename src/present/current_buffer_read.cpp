#include "present/current_buffer_read.h"

#include "app/session.h"
#include "disk/sector_transfer.h"

namespace brovane {

bool ReadIntoCurrentBuffer(Session& session, const TreeItemInfo& item, FloppyReopen reopen,
                           ReadFailureTexts texts) {
    RightPaneState& pane = session.pane;
    // The read never runs past the block the pane holds.
    std::uint64_t bytes = std::uint64_t{item.sectorCount} * kSectorBytes;
    if (pane.currentBuffer == nullptr || bytes == 0 || pane.currentBufferBytes < bytes) {
        return false;
    }
    switch (ReadFirstSectors(session, item, pane.currentBuffer, reopen)) {
        case FirstSectorRead::Read:
            return true;
        case FirstSectorRead::OpenFailed:
            return false;
        case FirstSectorRead::NotRead:
            break;
    }
    bool library = session.disk.diskAccessMode == DAM_DISK_LIBRARY;
    session.screen.Notify(library ? texts.diskLibrary : texts.devicePath);
    return false;
}

}  // namespace brovane

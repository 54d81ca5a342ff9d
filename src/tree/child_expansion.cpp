#include "tree/child_expansion.h"

#include "screen/messages.h"

#include "disk/first_sector_read.h"
#include "tree/item_run.h"

namespace brovane {

TreeItemInfo* NewChildRecord(Expansion& expansion) {
    TreeItemInfo* record = AppendItemRecord(expansion.items);
    if (record == nullptr) {
        expansion.io.screen.Notify(kPacketsMemoryText);
    }
    return record;
}

void InsertChild(Expansion& expansion, std::string_view text, bool hasChildren,
                 TreeItemInfo* record) {
    expansion.lastChild = expansion.io.screen.InsertTreeItem(expansion.item, expansion.lastChild,
                                                             text, hasChildren, record);
}

SectorOutcome ReadItemSector(Expansion& expansion, std::uint8_t* buffer,
                             std::string_view failureText) {
    ScreenOperations& screen = expansion.io.screen;
    if (buffer == nullptr) {
        screen.Notify(kNoBufferCapitalText);
        return SectorOutcome::Failed;
    }
    constexpr FloppyReopen kOpenFloppyFirst{true, false, false};
    switch (ReadFirstSectors(expansion.io, ItemRun(expansion.parent), buffer, kOpenFloppyFirst)) {
        case FirstSectorRead::Read:
            return SectorOutcome::Read;
        case FirstSectorRead::OpenFailed:
            screen.Notify(kDriveNotAccessibleText);
            return SectorOutcome::Refused;
        case FirstSectorRead::NotRead:
            break;
    }
    screen.Notify(failureText);
    return SectorOutcome::Failed;
}

std::uint32_t SectorFromFields(std::uint64_t sector) {
    return sector > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(sector);
}

}  // namespace brovane

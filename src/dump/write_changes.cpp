#include "dump/write_changes.h"

#include "screen/messages.h"

#include <optional>

#include "disk/first_sector_write.h"
#include "disk/sector_transfer.h"
#include "dump/dump_position.h"
#include "dump/dump_rows.h"
#include "screen/command_table.h"
#include "tree/item_run.h"

namespace brovane {

namespace {

enum class Outcome { Written, Failed, Silent };

// The item's own first sector: a master boot record, an extended table or a
// boot record, addressed as the tree addresses the item.
bool IsOwnFirstSector(const RightPaneState& pane) {
    return pane.viewMode != VM_CLUSTER_DUMP && pane.currentItem.relativeSector == 0 &&
           pane.currentIndex == 0;
}

std::string_view FailureText(const RightPaneState& pane) {
    if (pane.viewMode == VM_CLUSTER_DUMP) {
        return kClusterNotAccessibleText;
    }
    return IsOwnFirstSector(pane) ? kCriticalSectorNotAccessibleText : kSectorNotAccessibleText;
}

Outcome WriteUnit(const PlatformDiskScreen& io, const RightPaneState& pane) {
    std::optional<TreeItemInfo> unit = CurrentUnit(pane);
    if (!unit || !pane.unitRead ||
        std::uint64_t{unit->sectorCount} * kSectorBytes > pane.currentBuffer.size()) {
        return Outcome::Failed;
    }
    if (!IsOwnFirstSector(pane)) {
        return WriteSectors(io, ItemRun(*unit), pane.currentBuffer.data()) ? Outcome::Written
                                                                           : Outcome::Failed;
    }
    switch (WriteFirstSector(io, ItemRun(*unit), pane.currentBuffer.data())) {
        case FirstSectorWrite::Written:
            return Outcome::Written;
        case FirstSectorWrite::OpenFailed:
            return Outcome::Silent;
        case FirstSectorWrite::NotWritten:
            break;
    }
    return Outcome::Failed;
}

}  // namespace

void WriteChanges(const PlatformDiskScreen& io, RightPaneState& pane) {
    if (!io.screen.Confirm(kWriteConfirmText)) {
        return;
    }
    if (pane.viewMode == VM_SECTOR_DUMP && io.screen.IsMenuChecked(CMD_RAW_DUMPING)) {
        pane.viewMode = VM_RAW_SECTOR_DUMP;
    }
    if (!IsDumpView(pane.viewMode)) {
        return;
    }
    switch (WriteUnit(io, pane)) {
        case Outcome::Written:
            io.screen.Notify(kChangesWrittenText);
            break;
        case Outcome::Failed:
            io.screen.Notify(FailureText(pane));
            break;
        case Outcome::Silent:
            break;
    }
}

}  // namespace brovane

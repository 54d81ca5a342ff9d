#include "dump/write_changes.h"

#include "screen/messages.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "disk/first_sector_read.h"
#include "disk/first_sector_write.h"
#include "disk/sector_transfer.h"
#include "disk/write_journal.h"
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

// The unit as the device holds it now, read uncached by the address a
// write of it takes; false when a sector of it could not be read.
bool ReadUnitBack(const PlatformDiskScreen& io, const RightPaneState& pane,
                  std::vector<std::uint8_t>& bytes) {
    const SectorRun run = ItemRun(*CurrentUnit(pane));
    bytes.assign(std::size_t{run.sectorCount} * kSectorBytes, 0);
    if (IsOwnFirstSector(pane)) {
        return ReadFirstSectors(io, run, bytes.data(), FloppyReopen{false, false, false}) ==
               FirstSectorRead::Read;
    }
    std::vector<std::uint8_t> unread(run.sectorCount, 0);
    ReadSectorsNotingUnread(io.platform, io.disk, run, bytes.data(), unread);
    return std::count(unread.begin(), unread.end(), 0) ==
           static_cast<std::ptrdiff_t>(unread.size());
}

// The journal's record of writing the current buffer over the unit: what
// the device holds there now and what is to be written. False, with the
// reason, when the unit cannot be written or its drive not identified.
bool JournalRecordOf(const PlatformDiskScreen& io, const RightPaneState& pane, JournalWrite& write,
                     std::string& error) {
    const std::optional<TreeItemInfo> unit = CurrentUnit(pane);
    if (!unit || !pane.unitRead ||
        std::uint64_t{unit->sectorCount} * kSectorBytes > pane.currentBuffer.size() ||
        std::uint64_t{unit->sectorCount} * kSectorBytes > kMaxJournalUnitBytes) {
        error.clear();
        return false;
    }
    const std::optional<DriveIdentity> identity = io.platform.IdentifyDrive(unit->driveNumber);
    if (!identity) {
        error = "the drive cannot be identified for the write journal";
        return false;
    }
    write.device = JournalDeviceOf(*identity);
    write.offset = (std::uint64_t{unit->baseSector} + unit->relativeSector) * kSectorBytes;
    write.time = std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    write.beforeUnread = !ReadUnitBack(io, pane, write.before);
    write.after.assign(pane.currentBuffer.data(), pane.currentBuffer.data() + write.before.size());
    return true;
}

// Journals the write, makes it, reads it back and marks it done. Answers
// the message to show; empty for none.
std::string JournaledWrite(const PlatformDiskScreen& io, const RightPaneState& pane) {
    JournalWrite write;
    std::string error;
    if (!JournalRecordOf(io, pane, write, error)) {
        return error.empty() ? std::string(FailureText(pane))
                             : "Nothing was written: " + error + ".";
    }
    const std::optional<JournalScan> journal = ReadWriteJournal(io.platform, error);
    write.sequence = journal ? NextJournalSequence(*journal) : 0;
    if (!journal || !AppendToWriteJournal(io.platform, write, error)) {
        return "Nothing was written: " + error + ".";
    }
    const Outcome outcome = WriteUnit(io, pane);
    std::string message = outcome == Outcome::Failed ? std::string(FailureText(pane)) : "";
    WriteResult result = WriteResult::kFailed;
    if (outcome == Outcome::Written) {
        std::vector<std::uint8_t> back;
        const bool same = ReadUnitBack(io, pane, back) && back == write.after;
        result = same ? WriteResult::kVerified : WriteResult::kDiffers;
        message = same ? kChangesWrittenText : kReadBackDiffersText;
    }
    if (!AppendToWriteJournal(io.platform, JournalDone{write.sequence, result}, error)) {
        message += "\nThe write's done mark could not be kept: " + error +
                   "; the history will say it may not have happened.";
    }
    return message;
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
    if (const std::string message = JournaledWrite(io, pane); !message.empty()) {
        io.screen.Notify(message);
    }
}

}  // namespace brovane

#include "app/copy_out_command.h"

#include "disk/drive_size.h"
#include "dump/byte_edit.h"
#include "imaging/copy_extent.h"
#include "present/directory_row_store.h"
#include "screen/screen_operations.h"
#include "tree/item_volume.h"

namespace brovane {

namespace {

struct CopyOutSource {
    SectorRun origin;  // the volume's first sector
    std::uint64_t sectors = 0;
    bool fat32Indicator = false;
    CopyOutStart start;
};

bool IsEntryOfListing(const TreeItemInfo& item) {
    return item.kind == IK_DIR_ENTRY || item.kind == IK_ROOT_DIR;
}

// A volume item begins at its boot record; any item inside a volume
// carries the volume's addressing.
std::optional<CopyOutSource> SourceOf(const PlatformDiskScreen& io, const TreeItemInfo& item) {
    CopyOutSource source;
    if (item.kind == IK_VOLUME) {
        std::optional<CopyExtent> extent = CopyExtentOf(io.platform, item);
        if (!extent || !TakeLibraryGeometry(io, item, *extent)) {
            io.screen.Notify(NoLibraryGeometryText("copied"));
            return std::nullopt;
        }
        source.origin = extent->origin;
        source.sectors = extent->sectors;
        source.fat32Indicator = extent->fat32Indicator;
        return source;
    }
    source.origin = VolumeOf(item).origin;
    const std::uint64_t device = DriveSectors(io.platform, item.driveNumber);
    source.sectors = device > item.baseSector ? device - item.baseSector : UINT32_MAX;
    source.fat32Indicator = item.fatType == FT_FAT32;
    if (item.kind == IK_DIR_ENTRY) {
        source.start = {item.parentCluster, item.entryIndex};
    }
    return source;
}

std::optional<CopyOutResult> CopyOut(const PlatformDiskScreen& io, const CopyOutSource& from,
                                     const std::string& destination, const CopiedSink& sink) {
    Platform& platform = io.platform;
    if (platform.IsHostPathOnDrive(destination, from.origin.driveNumber)) {
        io.screen.Notify(destination +
                         " lies on the disk being examined, which is never written: nothing was "
                         "copied.");
        return std::nullopt;
    }
    if (!platform.HostFolderExists(destination)) {
        io.screen.Notify(destination + " is no folder: nothing was copied.");
        return std::nullopt;
    }
    DiskSectorSource source(platform, io.disk, from.origin, from.sectors);
    std::string error;
    const std::optional<CopyOutPlan> plan =
        PlanCopyOut(platform, source, from.fat32Indicator, from.start, error);
    if (!plan) {
        io.screen.Notify(error);
        return std::nullopt;
    }
    std::uint64_t existing = 0;
    for (const PlannedItem& item : plan->items) {
        existing += item.kind == PlannedKind::kFile &&
                    platform.HostFileExists(destination + "/" + item.path);
    }
    if (existing != 0 && !io.screen.Confirm(std::to_string(existing) + " of the files exist in " +
                                            destination + " already. Replace them?")) {
        return std::nullopt;
    }
    CopyOutResult result;
    DiskAccess& disk = io.disk;
    io.screen.RunLongWork(
        kCopyOutTitle, [&](const ProgressReport& report, const CancelFlag& cancel) {
            DiskSectorSource reader(platform, disk, from.origin, from.sectors, &cancel);
            result = RunCopyOut(platform, reader, *plan, destination, sink, report, cancel);
        });
    return result;
}

}  // namespace

bool IsCopyOutItem(const TreeItemInfo& item) {
    return item.kind == IK_VOLUME || IsEntryOfListing(item);
}

std::optional<CopyOutResult> CopyOutItem(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                         const std::string& destination, const CopiedSink& sink) {
    if (!IsCopyOutItem(item)) {
        return std::nullopt;
    }
    const std::optional<CopyOutSource> source = SourceOf(io, item);
    return source ? CopyOut(io, *source, destination, sink) : std::nullopt;
}

std::optional<CopyOutResult> CopyOutRow(const PlatformDiskScreen& io, const RightPaneState& pane,
                                        int row, const std::string& destination,
                                        const CopiedSink& sink) {
    const bool listing = pane.viewMode == VM_ROOT_DIR || pane.viewMode == VM_SUBDIRECTORY;
    const std::optional<std::uintptr_t> index =
        listing && row >= 0 ? NthDirectoryRow(pane.directoryRows, static_cast<std::size_t>(row))
                            : std::nullopt;
    const std::optional<DirectoryRow> listed =
        index ? FindDirectoryRow(pane.directoryRows, *index) : std::nullopt;
    if (!listed || listed->entryIndex == kNoEntryIndex || !IsEntryOfListing(pane.currentItem)) {
        io.screen.Notify("Copy Out takes a row of a directory listing.");
        return std::nullopt;
    }
    std::optional<CopyOutSource> source = SourceOf(io, pane.currentItem);
    if (!source) {
        return std::nullopt;
    }
    source->start = {};
    if (pane.currentItem.kind == IK_DIR_ENTRY) {
        source->start.directoryCluster = pane.currentItem.firstCluster;
    }
    source->start.entryIndex = listed->entryIndex;
    return CopyOut(io, *source, destination, sink);
}

std::string CopyOutResultText(const CopyOutResult& result) {
    const std::string counts = std::to_string(result.files) + " files, " +
                               std::to_string(result.folders) + " directories, " +
                               std::to_string(result.bytes) + " bytes";
    switch (result.stop) {
        case CopyOutStop::kNone:
            return "Copied out " + counts + ".";
        case CopyOutStop::kCancelled:
            return "The copy was cancelled after " + counts + "; what was copied stays.";
        case CopyOutStop::kUnwritable:
            return result.failedPath + " could not be written: the copy stopped after " + counts +
                   ".";
        case CopyOutStop::kNoMemory:
            return "Not enough memory for the copy: nothing was copied.";
    }
    return {};
}

std::string CopiedText(const CopiedItem& copied) {
    const std::string bytes = std::to_string(copied.bytes);
    const std::string size = std::to_string(copied.item.size);
    switch (copied.how) {
        case CopiedHow::kCopied:
            return "copied: " + copied.item.path + " " + bytes;
        case CopiedHow::kGuessed:
            return "guessed: " + copied.item.path + " " + bytes +
                   (copied.bytes < copied.item.size ? " of " + size : "");
        case CopiedHow::kIncomplete:
            return "incomplete: " + copied.item.path + " " + bytes + " of " + size;
        case CopiedHow::kLoop:
            return "skipped: " + copied.item.path + ", a directory met before";
    }
    return {};
}

namespace {

// The lines of the files that were not copied whole, for the end message.
struct NotedLines {
    std::string text;
    unsigned count = 0;
    void Note(const CopiedItem& copied) {
        if (copied.how != CopiedHow::kCopied && ++count <= 20) {
            text += "\n" + CopiedText(copied);
        }
    }
};

void AskAndCopy(const PlatformDiskScreen& io,
                const std::function<std::optional<CopyOutResult>(const std::string&,
                                                                 const CopiedSink&)>& copy) {
    const std::string destination = io.screen.AskHostFolder(kCopyOutTitle);
    if (destination.empty()) {
        return;
    }
    NotedLines noted;
    const std::optional<CopyOutResult> result =
        copy(destination, [&noted](const CopiedItem& copied) { noted.Note(copied); });
    if (result) {
        const std::string more =
            noted.count > 20 ? "\n... and " + std::to_string(noted.count - 20) + " more" : "";
        io.screen.Notify(
            CopyOutResultText(*result) + noted.text + more +
            (noted.count != 0 ? "\n(guessed: a deleted entry's content is a guess)" : ""));
    }
}

}  // namespace

void ChooseCopyOut(const PlatformDiskScreen& io, const TreeItemInfo* item) {
    if (item == nullptr || !IsCopyOutItem(*item)) {
        return;
    }
    const TreeItemInfo copied = *item;
    AskAndCopy(io, [&](const std::string& destination, const CopiedSink& sink) {
        return CopyOutItem(io, copied, destination, sink);
    });
}

void ChooseCopyOutRow(const PlatformDiskScreen& io, const RightPaneState& pane) {
    const std::optional<int> focused = FirstFocusedRow(io.screen);
    if (!focused) {
        return;
    }
    AskAndCopy(io, [&](const std::string& destination, const CopiedSink& sink) {
        return CopyOutRow(io, pane, *focused, destination, sink);
    });
}

}  // namespace brovane

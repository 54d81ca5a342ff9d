#include "app/disk_copy_command.h"

namespace brovane {

namespace {

constexpr std::string_view kCopyTitle = "Disk Copy";
constexpr std::string_view kCopyFileTitle = "Copy to Image";

enum class Start { kNew, kResume, kNone };

// Never replaces a file on the host without asking; an unfinished copy
// (its mapfile beside the image) is offered to go on.
Start AskHowToStart(const PlatformDiskScreen& io, const std::string& imagePath) {
    Platform& platform = io.platform;
    const std::string map = MapPathOf(imagePath);
    if (platform.HostFileExists(map)) {
        if (io.screen.Confirm(map + " holds a copy to " + imagePath +
                              ". Resume it, reading only what is not finished?")) {
            return Start::kResume;
        }
        return io.screen.Confirm("Replace " + imagePath + " and " + map + " with a new copy?")
                   ? Start::kNew
                   : Start::kNone;
    }
    if (platform.HostFileExists(imagePath) || platform.HostFileExists(PartPathOf(imagePath))) {
        return io.screen.Confirm(imagePath + " exists and has no mapfile. Replace it?")
                   ? Start::kNew
                   : Start::kNone;
    }
    return Start::kNew;
}

}  // namespace

std::optional<CopyResult> CopyItemToImage(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                          const std::string& imagePath) {
    std::optional<CopyExtent> extent = CopyExtentOf(io.platform, item);
    if (!extent) {
        return std::nullopt;
    }
    if (extent->sectors == 0) {
        io.screen.Notify("The size of this item is not known: nothing was copied.");
        return std::nullopt;
    }
    if (!TakeLibraryGeometry(io, item, *extent)) {
        io.screen.Notify(NoLibraryGeometryText("copied"));
        return std::nullopt;
    }
    const Start start = AskHowToStart(io, imagePath);
    if (start == Start::kNone) {
        return std::nullopt;
    }
    CopyJob job{*extent, imagePath};
    job.resume = start == Start::kResume;
    CopyResult result;
    Platform& platform = io.platform;
    DiskAccess& disk = io.disk;
    io.screen.RunLongWork(kCopyTitle, [&](const ProgressReport& report, const CancelFlag& cancel) {
        result = CopyToImage(platform, disk, job, report, cancel);
    });
    return result;
}

std::string CopyResultText(const CopyResult& result, const std::string& imagePath) {
    const std::string map = MapPathOf(imagePath);
    const std::string part = PartPathOf(imagePath);
    switch (result.outcome) {
        case CopyOutcome::kCopied:
            return "Copied " + std::to_string(result.sectors) + " sectors to " + imagePath + ", " +
                   std::to_string(result.bad) + " bad; the mapfile is " + map + ".";
        case CopyOutcome::kCancelled:
            return "The copy was cancelled. " + part + " and " + map +
                   " hold what was copied; a Disk Copy onto " + imagePath + " resumes it.";
        case CopyOutcome::kImageUncreatable:
            return "The image " + PartPathOf(imagePath) + " could not be made: nothing was copied.";
        case CopyOutcome::kImageUnwritable:
            return "The image could not be written: the copy stopped. " + map +
                   " says what the image holds.";
        case CopyOutcome::kMapUnwritable:
            return "The mapfile " + map + " could not be written: the copy stopped.";
        case CopyOutcome::kMapInvalid:
            return map + " cannot be used (" + result.detail + "): nothing was copied.";
        case CopyOutcome::kMapTooLong:
            return map + " describes more than this item holds: nothing was copied.";
        case CopyOutcome::kNoMemory:
            return "Not enough memory for the copy: nothing was copied.";
    }
    return {};
}

void ChooseCopyToImage(const PlatformDiskScreen& io, const TreeItemInfo* item) {
    if (item == nullptr) {
        return;
    }
    const std::string imagePath = io.screen.AskHostFile(kCopyFileTitle, true);
    if (imagePath.empty()) {
        return;
    }
    if (std::optional<CopyResult> result = CopyItemToImage(io, *item, imagePath)) {
        io.screen.Notify(CopyResultText(*result, imagePath));
    }
}

}  // namespace brovane

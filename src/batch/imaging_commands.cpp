// copy-disk PATH FILE and damage PATH MAPFILE: the item at PATH, the host
// file the line's last word. What the GUI asks for in a file dialog comes
// from the line; the rest is the GUI's own path through the core.
#include "app/damage_command.h"
#include "app/disk_copy_command.h"
#include "batch/batch_runner.h"
#include "batch/tree_paths.h"
#include "imaging/copy_extent.h"

namespace brovane {

TreeItemInfo* BatchRunner::ItemAndHostPath(std::string_view arguments, std::string& itemPath,
                                           std::string& hostPath, std::string& error) {
    const std::size_t blank = arguments.find_last_of(' ');
    if (blank == std::string_view::npos) {
        error = "expected an item PATH and a host file";
        return nullptr;
    }
    itemPath = std::string(arguments.substr(0, blank));
    hostPath = std::string(arguments.substr(blank + 1));
    const TreeItemHandle item = RequireItem(screen_, itemPath, error);
    return item == kNoTreeItem ? nullptr : screen_.GetTreeItemInfo(item);
}

bool BatchRunner::CopyDisk(std::string_view arguments, std::string& error) {
    std::string path;
    std::string file;
    TreeItemInfo* item = ItemAndHostPath(arguments, path, file, error);
    if (item == nullptr) {
        return false;
    }
    if (!IsCopyableItem(*item) && item->driveNumber >= kFirstHardDisk) {
        out_ << "disabled: " << CMD_COPY_TO_IMAGE << '\n';
        return true;
    }
    const std::optional<CopyResult> result = CopyItemToImage(session_.Io(), *item, file);
    if (result && result->outcome == CopyOutcome::kCopied) {
        out_ << "copied: " << result->sectors << " sectors, " << result->bad << " bad, map "
             << EscapeText(MapPathOf(file)) << '\n';
    } else if (result) {
        screen_.Notify(CopyResultText(*result, file));
    }
    return true;
}

bool BatchRunner::ReportDamage(std::string_view arguments, std::string& error) {
    std::string volumePath;
    std::string mapPath;
    TreeItemInfo* item = ItemAndHostPath(arguments, volumePath, mapPath, error);
    if (item == nullptr) {
        return false;
    }
    if (!IsReportableItem(*item)) {
        out_ << "disabled: " << CMD_DAMAGE_REPORT << '\n';
        return true;
    }
    const std::optional<DamageReport> report =
        ReportItemDamage(session_.Io(), session_.pane, *item, mapPath);
    if (!report) {
        return true;
    }
    for (const DamagedItem& damaged : report->items) {
        out_ << "damaged: " << EscapeText(volumePath + "/Root Directory/" + damaged.path) << ' '
             << damaged.bytesAffected << " of " << damaged.size << '\n';
    }
    for (const DamagedFatSector& fat : report->fatSectors) {
        out_ << "fat: " << fat.sector << " bad in FAT " << fat.copy << '\n';
    }
    out_ << "damage: " << report->items.size() << " items\n";
    return true;
}

}  // namespace brovane

#include "app/damage_command.h"

#include "imaging/rescue_map_file.h"
#include "present/damage_list.h"

namespace brovane {

bool IsReportableItem(const TreeItemInfo& item) {
    return item.kind == IK_VOLUME;
}

std::optional<DamageReport> ReportItemDamage(const PlatformDiskScreen& io, RightPaneState& pane,
                                             const TreeItemInfo& item, const std::string& mapPath) {
    std::optional<CopyExtent> volume = CopyExtentOf(io.platform, item);
    if (!IsReportableItem(item) || !volume) {
        return std::nullopt;
    }
    RescueMap map;
    std::string error;
    switch (LoadRescueMap(io.platform, mapPath, map, error)) {
        case MapLoad::kMissing:
            io.screen.Notify(mapPath + " cannot be found.");
            return std::nullopt;
        case MapLoad::kInvalid:
            io.screen.Notify(mapPath + " cannot be used (" + error + ").");
            return std::nullopt;
        case MapLoad::kLoaded:
            break;
    }
    DamageReport report = ReportDamage(io.platform, io.disk, *volume, map.blocks);
    ShowDamageList(io.screen, pane, report);
    return report;
}

void ChooseDamageReport(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo* item) {
    if (item == nullptr) {
        return;
    }
    const std::string mapPath = io.screen.AskHostFile("Damage Report", false);
    if (!mapPath.empty()) {
        ReportItemDamage(io, pane, *item, mapPath);
    }
}

}  // namespace brovane

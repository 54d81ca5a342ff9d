// Damage Report: a volume of an image and the mapfile of its copy; the
// report is shown in the right pane as a list.
#pragma once

#include <optional>
#include <string>

#include "disk/platform_disk_screen.h"
#include "imaging/damage_report.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// A volume: a floppy or a partition the tree walks as one.
bool IsReportableItem(const TreeItemInfo& item);

// The report of the volume by the mapfile; nothing after a message when the
// mapfile cannot be used. Shown in the pane.
std::optional<DamageReport> ReportItemDamage(const PlatformDiskScreen& io, RightPaneState& pane,
                                             const TreeItemInfo& item, const std::string& mapPath);

// The command: asks for the mapfile, then reports.
void ChooseDamageReport(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo* item);

}  // namespace brovane

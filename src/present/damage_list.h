// The damage report in the right pane: one row per damaged file or
// directory (its path from the root directory, size, bytes affected, first
// bad sector), then one per FAT sector not read well. Rows hold finished
// texts; the pane holds no unit, so nothing can be edited or written.
#pragma once

#include "imaging/damage_report.h"
#include "present/right_pane_state.h"
#include "screen/screen_operations.h"

namespace brovane {

void ShowDamageList(ScreenOperations& screen, RightPaneState& pane, const DamageReport& report);

}  // namespace brovane

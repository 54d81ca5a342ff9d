// Previous and Next: the neighbouring sector or cluster of the dump on
// screen, read into the current buffer and drawn over the same rows.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"

namespace brovane {

void GoToPreviousUnit(const PlatformDiskScreen& io, RightPaneState& pane);
void GoToNextUnit(const PlatformDiskScreen& io, RightPaneState& pane);

}  // namespace brovane

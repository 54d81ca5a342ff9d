// Previous and Next: the neighbouring sector or cluster of the dump on
// screen, read into the current buffer and drawn over the same rows.
#pragma once

#include "disk/disk_io.h"
#include "present/right_pane_state.h"

namespace brovane {

void GoToPreviousUnit(const DiskIo& io, RightPaneState& pane);
void GoToNextUnit(const DiskIo& io, RightPaneState& pane);

}  // namespace brovane

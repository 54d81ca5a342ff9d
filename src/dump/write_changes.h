// Write Changes: the unit the dump shows, one sector or one cluster, goes
// from the current buffer back to the place it was read from, after the
// user confirms. Exactly that unit is written, or nothing:
// - the item's own first sector is written by its own address only at
//   position 0; paged further, its sectors are written like any other;
// - a unit whose last read failed, or with no buffer, is not written (its
//   failure message says so), so placeholder bytes never reach the disk;
// - cluster numbers below 2 and addresses beyond 32 bits are not accessible;
// - success is reported only when every byte reached the device.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"

namespace brovane {

void WriteChanges(const PlatformDiskScreen& io, RightPaneState& pane);

}  // namespace brovane

// Setting up disk access when the tree pane first shows, and releasing
// everything when the main window closes.
#pragma once

#include "app/session.h"

namespace brovane {

// Allocates the record pools, chooses the access mode, loads the disk
// library and counts floppies where needed, then lists the disks.
void InitDiskAccess(Session& session);
// Frees the right pane's blocks and the pools, unloads the library, closes the devices.
void ReleaseDiskAccess(Session& session);

}  // namespace brovane

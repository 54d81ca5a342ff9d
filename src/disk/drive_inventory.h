// Setting up disk access at start-up, listing the disks as root items, and
// releasing everything when the main window closes.
#pragma once

namespace brovane {

class Session;

// Allocates the record pools, chooses the access mode, loads the disk
// library and counts floppies where needed, then lists the disks.
void InitDiskAccess(Session& session);
// Empties the record pools and inserts one root item per floppy, then per hard disk.
void EnumerateDisks(Session& session);
// Frees the right pane's blocks and the pools, unloads the library, closes the devices.
void ReleaseDiskAccess(Session& session);

}  // namespace brovane

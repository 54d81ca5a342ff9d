// The commands that act on the whole window: refreshing the disk list,
// switching a dumping mode, the tree's right-click menu and Usage.
#pragma once

#include <string>

#include "app/session.h"

namespace brovane {

// Rebuilds the tree from the disks and selects the last hard disk (none
// when there is no hard disk), which shows it.
void RefreshDisks(Session& session);
// Toggles the command's check mark and shows the tree's current item again
// in the new mode.
void SetDumpingMode(ScreenOperations& screen, bool& ignoreSelectionChange, int command);
// The menu of the tree item under the cursor (none where there is no item):
// "Disk Copy" for every item of a floppy drive (a drive number below
// kFirstHardDisk), never for a hard disk or anything on one; "Raw Search"
// for an item that does not start a disk, partition or volume (its
// relativeSector is not 0), which does nothing. Answers the item the menu
// was shown for (nullptr: none), which "Disk Copy" copies.
TreeItemInfo* ShowTreeContextMenu(ScreenOperations& screen);
// Opens the usage document that lies beside the program.
void ShowUsage(ScreenOperations& screen, const std::string& programDirectory);

}  // namespace brovane

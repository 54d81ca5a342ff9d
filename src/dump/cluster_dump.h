// Cluster dumps: one cluster of a file or directory at a time, paged along
// its cluster chain, so the data reads in file order wherever it lies.
// Before either dump runs, the dispatch has made the current buffer room
// for one FAT.
#pragma once

#include "disk/platform_disk_screen.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

// A file's clusters: the pane is cleared first.
void ShowClusterDump(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);
// A directory's clusters: the previous rows stay until the first cluster is
// ready (shown empty, since nothing is then a dump).
void ShowDirectoryClusterDump(const PlatformDiskScreen& io, RightPaneState& pane,
                              const TreeItemInfo& item);

// Reads the unit now addressed into the current buffer; false after
// "Cluster not accessible!" or "Sector not accessible!", as the view says.
bool ReadCurrentUnit(const PlatformDiskScreen& io, RightPaneState& pane);

}  // namespace brovane

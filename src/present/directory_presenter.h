// Directory listings: one row per entry, eight columns (short name, long
// name, starting cluster, attributes, size and three dates). The rows keep
// only an index into the directory-row store; their texts are formatted when
// the list draws them.
#pragma once

#include "disk/platform_disk_screen.h"
#include "platform/platform.h"
#include "present/right_pane_state.h"
#include "screen/screen_operations.h"
#include "tree/tree_item_info.h"

namespace brovane {

// The fixed root directory of a FAT12 or FAT16 volume: its sectorCount
// sectors are read into the current buffer (made that large by the
// dispatch) and every entry up to the end mark is listed, dot entries
// included.
void ShowRootDirectory(const PlatformDiskScreen& io, RightPaneState& pane,
                       const TreeItemInfo& item);

// A sub-directory or a FAT32 root directory: the FAT is read into the
// current buffer (made as large as one FAT by the dispatch), the chain from
// firstCluster is followed, and the current buffer is replaced by the
// chain's clusters, which ListDirectoryEntries lists. When it ends before
// listing, the pane is left empty: no row of an earlier view stays.
void ShowSubDirectory(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item);

// Lists the listing's sectorCount sectors of directory data held in the
// current buffer (fewer when the buffer is smaller), skipping the dot
// entries; fatType decides the starting clusters.
void ListDirectoryEntries(Platform& platform, ScreenOperations& screen, RightPaneState& pane,
                          const TreeItemInfo& listing);

}  // namespace brovane

// What the right pane shows and the data behind it: one object, shared by
// the selection dispatch, the presenters, the dumps, the cell texts, editing
// and writing changes.
#pragma once

#include <cstdint>

#include "format/fat_entry.h"
#include "platform/platform.h"
#include "platform/platform_block.h"
#include "present/directory_row_store.h"
#include "tree/tree_item_info.h"
#include "volume/cluster_chain.h"
#include "volume/fat_copies.h"

namespace brovane {

// What the rows of the pane are. Values 1 and 2 are not used.
enum ViewMode : std::uint8_t {
    VM_NONE = 0,
    VM_FAT16 = kFat16Code,
    VM_FAT12 = kFat12Code,
    VM_ROOT_DIR = 5,
    VM_CLUSTER_DUMP = 6,
    VM_SECTOR_DUMP = 7,
    VM_RAW_SECTOR_DUMP = 8,
    VM_FAT32 = kFat32Code,
    VM_SUBDIRECTORY = 10,
    VM_FAT_COPIES = 11,  // the FAT copies compared
};

struct RightPaneState {
    ViewMode viewMode = VM_NONE;
    PlatformBlock currentBuffer;  // zero-filled when allocated
    TreeItemInfo currentItem{};
    ClusterChain clusterChain;  // of a cluster dump
    std::uint32_t unitSectors = 0;
    std::uint32_t currentIndex = 0;
    bool canGoPrevious = false;
    bool canGoNext = false;
    // The rows of the directory listing on screen; at most one at a time.
    DirectoryRowStore directoryRows;
    // The last read of the unit now addressed brought all of its bytes; when
    // it did not, currentBuffer holds no data of that unit to write back.
    bool unitRead = false;
    // The entries a comparison of the FAT copies lists, while it is shown.
    FatCopiesComparison fatCopies;
};

// Releases the current buffer, then allocates a zero-filled one of that
// many sectors; false (and no buffer) when it cannot be had.
bool ReplaceCurrentBuffer(Platform& platform, RightPaneState& pane, std::uint64_t sectors);
// Releases every block the pane holds.
void ReleasePaneBlocks(RightPaneState& pane);
// Releases every block and sets the view mode of a table that holds no
// unit: nothing to page, edit or write.
void ReleaseUnit(RightPaneState& pane, ViewMode mode);
// Gives back the memory of a comparison of FAT copies.
void ReleaseFatCopies(RightPaneState& pane);

}  // namespace brovane

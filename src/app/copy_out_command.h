// Copy Out: a file, a directory with everything below it, or a volume's
// root directory (a tree item), or one entry of the directory listing on
// screen (deleted ones included), copied into a folder of the host. The
// plan is made first (nothing written yet), then the files are written in
// the background with progress and Cancel.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "disk/platform_disk_screen.h"
#include "imaging/copy_out.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

inline constexpr std::string_view kCopyOutTitle = "Copy Out";

// A volume, a root directory or a file or directory of a volume.
bool IsCopyOutItem(const TreeItemInfo& item);

// What to copy and from where, and what was copied (told on the copy's
// thread). Nothing when nothing was copied (the reason said).
std::optional<CopyOutResult> CopyOutItem(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                         const std::string& destination, const CopiedSink& sink);
// The entry of row `row` of the directory listing shown in the pane.
std::optional<CopyOutResult> CopyOutRow(const PlatformDiskScreen& io, const RightPaneState& pane,
                                        int row, const std::string& destination,
                                        const CopiedSink& sink);

std::string CopyOutResultText(const CopyOutResult& result);
// The line a copied file or a directory met again is said with.
std::string CopiedText(const CopiedItem& copied);

// The GUI's commands: the destination asked for in a folder dialog, the
// files said in one message at the end.
void ChooseCopyOut(const PlatformDiskScreen& io, const TreeItemInfo* item);
void ChooseCopyOutRow(const PlatformDiskScreen& io, const RightPaneState& pane);

}  // namespace brovane

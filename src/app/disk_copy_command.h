// Disk Copy and Copy to Image: the item copied to an image file the user
// names, after asking before anything on the host is replaced or resumed;
// the copy itself runs as the screen's long work.
#pragma once

#include <optional>
#include <string>

#include "disk/platform_disk_screen.h"
#include "imaging/disk_copy.h"
#include "tree/tree_item_info.h"

namespace brovane {

// Copies the item to imagePath. Nothing when the copy did not start (not a
// copyable item, nothing to copy, the user said no); a message said why
// where one helps.
std::optional<CopyResult> CopyItemToImage(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                          const std::string& imagePath);

// What the user is told of a copy's end.
std::string CopyResultText(const CopyResult& result, const std::string& imagePath);

// The command: asks for the image file, copies, and says how it ended.
void ChooseCopyToImage(const PlatformDiskScreen& io, const TreeItemInfo* item);

}  // namespace brovane

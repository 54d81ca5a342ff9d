// PATHs of brovane-batch: an item named by its texts from the root, joined
// by '/'; a segment "#N" names the N-th child (from 1).
#pragma once

#include <string>
#include <string_view>

#include "batch/text_screen.h"

namespace brovane {

// The item a PATH names, or kNoTreeItem.
TreeItemHandle FindItemByPath(TextScreen& screen, std::string_view path);
// The PATH of an item.
std::string PathOfItem(TextScreen& screen, TreeItemHandle item);
// The item a PATH names; kNoTreeItem, with the reason in error, when the
// path is empty or names none.
TreeItemHandle RequireItem(TextScreen& screen, std::string_view path, std::string& error);

}  // namespace brovane

// Find, Find Next and the tree's Raw Search: a pattern asked for in the
// Find dialog, searched for over the item's raw range in the background,
// and the sector of the hit shown as a raw sector dump with the hit's row
// selected. Find Next goes on after the last hit.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "disk/platform_disk_screen.h"
#include "imaging/raw_search.h"
#include "imaging/search_pattern.h"
#include "present/right_pane_state.h"
#include "tree/tree_item_info.h"

namespace brovane {

inline constexpr std::string_view kFindTitle = "Find";
inline constexpr std::string_view kSearchNoMemoryText =
    "Not enough memory for the search: nothing was searched.";

// The last search: its pattern, and where its last hit was.
struct FindState {
    std::optional<SearchPattern> pattern;
    bool hasHit = false;
    TreeItemInfo hitItem{};
    std::uint64_t hitByte = 0;  // from the first byte of the item's range
};

// The item's range when the pattern fits in it; else nothing, after saying why.
std::optional<SearchRange> RangeToSearch(const PlatformDiskScreen& io, const TreeItemInfo& item,
                                         const SearchPattern& pattern);

void ChooseFind(const PlatformDiskScreen& io, RightPaneState& pane, FindState& find,
                const TreeItemInfo* item);
// Without a pattern yet, Find.
void ChooseFindNext(const PlatformDiskScreen& io, RightPaneState& pane, FindState& find,
                    const TreeItemInfo* item);

}  // namespace brovane

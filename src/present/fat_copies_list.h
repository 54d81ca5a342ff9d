// The comparison of a volume's FAT copies in the right pane: one row per
// entry listed (where the copies disagree, or a copy could not be read),
// its number, then its value in each copy, "unreadable" where that copy's
// sectors were not read. Rows carry their index as item data; cells are
// formatted when drawn from the comparison the pane holds, which holds no
// unit, so nothing can be edited or written.
#pragma once

#include <string>
#include <string_view>

#include "present/right_pane_state.h"
#include "screen/screen_operations.h"
#include "volume/fat_copies.h"

namespace brovane {

// The text shown for a value that was not read.
inline constexpr std::string_view kUnreadableEntryText = "unreadable";

// The pane takes the comparison. Pane 1 counts the differing entries and,
// where there are any, those left uncompared.
void ShowFatCopies(ScreenOperations& screen, RightPaneState& pane, FatCopiesComparison comparison);

// Column 0 the entry's number ("%08X"), column n its value in copy n
// ("%03X", "%04X" or "%08X" as the FAT grids show entries); blank outside.
void FatCopiesCellText(const RightPaneState& pane, int column, std::uintptr_t row,
                       std::string& text);

}  // namespace brovane

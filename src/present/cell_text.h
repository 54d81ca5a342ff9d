// The text of one callback cell of the right pane, formatted when the list
// draws it from the view mode, the row's item data and the data the pane
// holds. Nothing is stored per cell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "present/right_pane_state.h"

namespace brovane {

// Formats into text (reused from call to call) and answers a view of it.
// A view mode without callback rows, VM_NONE included, gives empty cells.
std::string_view CellText(const RightPaneState& pane, int column, std::uintptr_t itemData,
                          std::string& text);

}  // namespace brovane

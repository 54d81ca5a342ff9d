// Changing the bytes of a dump sixteen at a time: a double click on a row
// opens the byte dialog with the row's bytes, and OK puts the new values in
// the current buffer, where they wait for Write Changes. And the list pane's
// right-click menu, whose entries carry no action.
#pragma once

#include <optional>

#include "present/right_pane_state.h"
#include "screen/screen_operations.h"

namespace brovane {

// The first row that has the focus, if any.
std::optional<int> FirstFocusedRow(ScreenOperations& screen);
// Edits the first focused row; nothing when no row has the focus or the
// row's bytes do not lie inside the current buffer.
void EditFocusedRow(ScreenOperations& screen, RightPaneState& pane);
// The list pane's pop-up menu; a directory listing's rows also offer Copy Out.
void ShowDumpContextMenu(ScreenOperations& screen, bool directoryListing = false);

}  // namespace brovane

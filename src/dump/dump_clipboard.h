// Copy and Paste in a dump, the list pop-up's first two entries. Copy puts
// the selected rows on the clipboard as text, one row a line in the list's
// own columns:
//
//   00000010  55 AA 00 ... 00  U.......
//
// the offset, two blanks, the sixteen bytes, two blanks, the sixteen
// characters ('.' for a zero byte and for control characters, which would
// break the line). Paste reads hexadecimal bytes from the clipboard and puts
// them into the current buffer from the focused row's first byte on, as an
// edit does: shown at once, written only by Write Changes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "present/right_pane_state.h"
#include "screen/screen_operations.h"

namespace brovane {

void CopySelectedRows(ScreenOperations& screen, const RightPaneState& pane);
void PasteAtFocusedRow(ScreenOperations& screen, RightPaneState& pane);

// The bytes a clipboard text gives: blank-separated groups of an even
// number of hexadecimal digits ("55 AA", "55aa"), over any number of lines;
// a line in Copy's form gives its sixteen bytes alone. Nothing, with the
// reason in error, for any other text and for a text without bytes.
std::optional<std::vector<std::uint8_t>> ParseClipboardBytes(std::string_view text,
                                                             std::string& error);

}  // namespace brovane

// What brovane-batch prints: texts escaped one to a line, and the printed
// forms of the tree, the status bar, the menu, the list and a pop-up menu.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "batch/text_screen.h"
#include "screen/command_table.h"

namespace brovane {

// Escapes a text for one output line: "\" as "\\", bytes below 0x20, 0x7F
// and above as \xHH.
std::string EscapeText(std::string_view text);
// The text a script writes in that form: "\\" and \xHH (two digits of
// either case) stand for their bytes; false for any other backslash.
bool UnescapeText(std::string_view text, std::string& out);

// The expanded part of the tree below parent: one item a line, indented two
// spaces a level, marked "- " when expanded, "+ " when it has a button, ". "
// otherwise.
void PrintTreeItems(std::ostream& out, TextScreen& screen, TreeItemHandle parent, int depth);
// "0: " and "1: " with the two status panes' texts.
void PrintStatusPanes(std::ostream& out, const TextScreen& screen);
// A line per command: its number, enabled or disabled, and checked.
void PrintMenuStates(std::ostream& out, const CommandState& state);
// "# " and the column headings, then count rows from first, tab-separated.
void PrintListRows(std::ostream& out, TextScreen& screen, int first, int count);
// The entries of the last pop-up menu, one a line.
void PrintPopupEntries(std::ostream& out, const TextScreen& screen);

}  // namespace brovane

// The words of brovane-batch's command language: a line's command and
// arguments, row numbers, and the quoted words of an edit line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/text_screen.h"
#include "screen/search_request.h"

namespace brovane {

// The text without leading and trailing blanks (spaces, tabs, CR).
std::string_view Trim(std::string_view text);

struct ScriptLine {
    std::string_view command;
    std::string_view arguments;  // trimmed
};

// The command word and its arguments; nothing for a blank line or a
// comment ('#' first).
std::optional<ScriptLine> SplitLine(std::string_view line);

// The text up to its first space, and the trimmed rest.
std::pair<std::string_view, std::string_view> SplitFirstWord(std::string_view text);

// False, with the reason in error, when a command that takes none is given arguments.
bool NoArguments(std::string_view arguments, std::string& error);

// Reads a row number or count (0 or more); false when the text is not one.
bool ParseCount(std::string_view text, int& value);

// Splits the words of an edit line; a word in single quotes is taken as
// written, spaces included ('' is the empty text).
bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string& error);

// An edit line's words after its row: "cancel" (no boxes) or sixteen box
// texts of at most kByteBoxLimit characters each.
bool ParseBoxTexts(const std::vector<std::string>& words,
                   std::optional<TextScreen::BoxTexts>& boxes, std::string& error);

// A search pattern as the language writes it: hex:BYTES, text:WORDS (match
// case) or itext:WORDS (any case); nothing for another form.
std::optional<SearchRequest> ParsePattern(std::string_view text);

// A line's PATH and the pattern behind it, which begins at the first
// " hex:", " text:" or " itext:"; nothing when there is none.
std::optional<std::pair<std::string_view, std::string_view>> SplitAtPattern(std::string_view text);

}  // namespace brovane

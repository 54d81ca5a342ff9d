#include "batch/script_parsing.h"

#include <algorithm>
#include <charconv>

#include "screen/byte_boxes.h"

namespace brovane {

std::string_view Trim(std::string_view text) {
    const std::string_view blanks = " \t\r";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<ScriptLine> SplitLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    std::size_t space = line.find_first_of(" \t");
    std::string_view arguments = space == std::string_view::npos ? "" : Trim(line.substr(space));
    return ScriptLine{line.substr(0, space), arguments};
}

std::pair<std::string_view, std::string_view> SplitFirstWord(std::string_view text) {
    std::size_t space = text.find(' ');
    return {text.substr(0, space), space == std::string_view::npos ? "" : Trim(text.substr(space))};
}

bool NoArguments(std::string_view arguments, std::string& error) {
    if (!arguments.empty()) {
        error = "unexpected arguments '" + std::string(arguments) + "'";
        return false;
    }
    return true;
}

bool ParseCount(std::string_view text, int& value) {
    auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    return problem == std::errc{} && end == text.data() + text.size() && value >= 0;
}

bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string& error) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        if (text[at] == '\'') {
            std::size_t end = text.find('\'', at + 1);
            if (end == std::string_view::npos) {
                error = "unclosed quote in '" + std::string(text) + "'";
                return false;
            }
            words.emplace_back(text.substr(at + 1, end - at - 1));
            at = end + 1;
            continue;
        }
        std::size_t end = text.find_first_of(" \t", at);
        end = end == std::string_view::npos ? text.size() : end;
        words.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return true;
}

bool ParseBoxTexts(const std::vector<std::string>& words,
                   std::optional<TextScreen::BoxTexts>& boxes, std::string& error) {
    if (words.size() == 2 && words[1] == "cancel") {
        boxes.reset();
        return true;
    }
    if (words.size() != 17) {
        error = "edit needs ROW and sixteen box texts, or ROW cancel";
        return false;
    }
    boxes.emplace();
    for (std::size_t n = 0; n < boxes->size(); ++n) {
        if (words[n + 1].size() > static_cast<std::size_t>(kByteBoxLimit)) {
            error = "a box takes at most 2 characters: '" + words[n + 1] + "'";
            return false;
        }
        (*boxes)[n] = words[n + 1];
    }
    return true;
}

namespace {

struct PatternForm {
    std::string_view prefix;
    bool hexadecimal;
    bool matchCase;
};

constexpr PatternForm kPatternForms[] = {
    {"hex:", true, true}, {"text:", false, true}, {"itext:", false, false}};

}  // namespace

std::optional<SearchRequest> ParsePattern(std::string_view text) {
    for (const PatternForm& form : kPatternForms) {
        if (text.starts_with(form.prefix)) {
            return SearchRequest{std::string(text.substr(form.prefix.size())), form.hexadecimal,
                                 form.matchCase};
        }
    }
    return std::nullopt;
}

std::optional<std::pair<std::string_view, std::string_view>> SplitAtPattern(std::string_view text) {
    std::size_t first = std::string_view::npos;
    for (const PatternForm& form : kPatternForms) {
        first = std::min(first, text.find(" " + std::string(form.prefix)));
    }
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{Trim(text.substr(0, first)), text.substr(first + 1)};
}

}  // namespace brovane

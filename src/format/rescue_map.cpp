#include "format/rescue_map.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace brovane {

namespace {

constexpr std::uint64_t kLargest = (std::uint64_t{1} << 63) - 1;
constexpr std::string_view kBlockStatuses = "?*/-+";
constexpr std::string_view kCurrentStatuses = "?*/-FG+";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The line's fields split at blanks.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && !IsBlank(line[at])) {
            ++at;
        }
        if (at > start) {
            fields.push_back(line.substr(start, at - start));
        }
    }
    return fields;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// A number as ddrescue reads one: 0x hexadecimal, a leading 0 octal, else
// decimal; every character a digit of its base, the value at most kLargest.
std::optional<std::uint64_t> ParseNumber(std::string_view text) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c);
        if (digit >= static_cast<int>(base) || value > (kLargest - digit) / base) {
            return std::nullopt;
        }
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

std::optional<char> ParseStatus(std::string_view text, std::string_view allowed) {
    if (text.size() != 1 || allowed.find(text[0]) == std::string_view::npos) {
        return std::nullopt;
    }
    return text[0];
}

std::string LineError(std::size_t line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

// The status line: position, status, and the pass where given.
bool ParseCurrent(const std::vector<std::string_view>& fields, RescueMap& map) {
    if (fields.size() < 2 || fields.size() > 3) {
        return false;
    }
    const std::optional<std::uint64_t> pos = ParseNumber(fields[0]);
    const std::optional<char> status = ParseStatus(fields[1], kCurrentStatuses);
    std::optional<std::uint64_t> pass = std::uint64_t{1};
    if (fields.size() == 3) {
        pass = ParseNumber(fields[2]);
    }
    if (!pos || !status || !pass || *pass > 0xFFFF) {
        return false;
    }
    map.currentPos = *pos;
    map.currentStatus = *status;
    map.currentPass = static_cast<unsigned>(*pass);
    return true;
}

std::optional<RescueBlock> ParseBlock(const std::vector<std::string_view>& fields) {
    if (fields.size() != 3) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> pos = ParseNumber(fields[0]);
    const std::optional<std::uint64_t> size = ParseNumber(fields[1]);
    const std::optional<char> status = ParseStatus(fields[2], kBlockStatuses);
    if (!pos || !size || !status) {
        return std::nullopt;
    }
    return RescueBlock{*pos, *size, static_cast<BlockStatus>(*status)};
}

std::string Hex(std::uint64_t value) {
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "0x%08llX", static_cast<unsigned long long>(value));
    return text.data();
}

}  // namespace

std::optional<RescueMap> ParseRescueMap(std::string_view text, std::string& error) {
    RescueMap map;
    bool haveCurrent = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty() || fields[0].front() == '#') {
            continue;
        }
        if (!haveCurrent) {
            if (!ParseCurrent(fields, map)) {
                error = LineError(lineNumber, "not a status line (position, status, pass)");
                return std::nullopt;
            }
            haveCurrent = true;
            continue;
        }
        const std::optional<RescueBlock> block = ParseBlock(fields);
        if (!block) {
            error = LineError(lineNumber, "not a block line (position, size, status)");
            return std::nullopt;
        }
        if (block->size == 0 || block->size > kLargest - block->pos) {
            error = LineError(lineNumber, "a block of size 0 or past the largest position");
            return std::nullopt;
        }
        if (!map.blocks.empty() && block->pos < map.blocks.back().End()) {
            error = LineError(lineNumber, "a block that overlaps the one before it");
            return std::nullopt;
        }
        map.blocks.push_back(*block);
    }
    if (!haveCurrent) {
        error = "no status line";
        return std::nullopt;
    }
    return map;
}

std::string FormatRescueMap(const RescueMap& map, const std::vector<std::string>& comments) {
    std::string text;
    for (const std::string& comment : comments) {
        text += "# " + comment + "\n";
    }
    text += "# current_pos  current_status  current_pass\n";
    text += Hex(map.currentPos) + "     " + map.currentStatus + "               " +
            std::to_string(map.currentPass) + "\n";
    text += "#      pos        size  status\n";
    for (const RescueBlock& block : map.blocks) {
        text +=
            Hex(block.pos) + "  " + Hex(block.size) + "  " + static_cast<char>(block.status) + "\n";
    }
    return text;
}

void MarkRange(std::vector<RescueBlock>& blocks, std::uint64_t pos, std::uint64_t size,
               BlockStatus status) {
    if (size == 0) {
        return;
    }
    const std::uint64_t end = pos + size;
    std::vector<RescueBlock> marked;
    marked.reserve(blocks.size() + 2);
    auto add = [&marked](RescueBlock block) {
        if (!marked.empty() && marked.back().End() == block.pos &&
            marked.back().status == block.status) {
            marked.back().size += block.size;
        } else {
            marked.push_back(block);
        }
    };
    bool placed = false;
    for (const RescueBlock& block : blocks) {
        if (block.End() <= pos) {
            add(block);
            continue;
        }
        if (block.pos < pos) {
            add({block.pos, pos - block.pos, block.status});
        }
        if (!placed) {
            add({pos, size, status});
            placed = true;
        }
        if (block.End() > end) {
            const std::uint64_t from = std::max(block.pos, end);
            add({from, block.End() - from, block.status});
        }
    }
    if (!placed) {
        add({pos, size, status});
    }
    blocks = std::move(marked);
}

BlockStatus StatusAt(const std::vector<RescueBlock>& blocks, std::uint64_t pos) {
    auto after =
        std::upper_bound(blocks.begin(), blocks.end(), pos,
                         [](std::uint64_t at, const RescueBlock& block) { return at < block.pos; });
    if (after == blocks.begin()) {
        return BlockStatus::kNotTried;
    }
    const RescueBlock& block = *(after - 1);
    return pos < block.End() ? block.status : BlockStatus::kNotTried;
}

}  // namespace brovane

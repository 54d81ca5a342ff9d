#include "screen/hex_groups.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace brovane {

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

bool IsHexRun(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

void AppendBytes(std::string_view digits, std::vector<std::uint8_t>& bytes) {
    for (std::size_t at = 0; at < digits.size(); at += 2) {
        std::uint8_t value = 0;
        std::from_chars(digits.data() + at, digits.data() + at + 2, value, 16);
        bytes.push_back(value);
    }
}

}  // namespace

HexGroups ParseHexGroups(std::string_view text) {
    HexGroups parsed;
    for (std::size_t start = text.find_first_not_of(kBlanks); start != std::string_view::npos;
         start = text.find_first_not_of(kBlanks, start)) {
        const std::size_t end = std::min(text.find_first_of(kBlanks, start), text.size());
        const std::string_view group = text.substr(start, end - start);
        if (!IsHexRun(group) || group.size() % 2 != 0) {
            parsed.fault =
                IsHexRun(group) ? HexGroupsFault::kOddDigits : HexGroupsFault::kNotHexadecimal;
            parsed.group = group;
            return parsed;
        }
        AppendBytes(group, parsed.bytes);
        start = end;
    }
    return parsed;
}

}  // namespace brovane

// Hexadecimal bytes as the user types them (a search pattern, the text on
// the clipboard): groups split by blanks, each an even number of digits,
// so "55 AA" and "55aa" are the same two bytes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace brovane {

enum class HexGroupsFault { kNone, kNotHexadecimal, kOddDigits };

struct HexGroups {
    std::vector<std::uint8_t> bytes;
    HexGroupsFault fault = HexGroupsFault::kNone;
    std::string_view group;  // the first group at fault, inside the text
};

// Blanks are spaces, tabs and line breaks. At a group at fault the bytes
// stop.
HexGroups ParseHexGroups(std::string_view text);

}  // namespace brovane

// The sixteen boxes of the byte dialog: the texts they open with, and how
// their texts become bytes when OK is pressed. Both front-ends use these, so
// a box typed in the GUI and a token given to brovane-batch give the same byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brovane {

using EditBytes = std::array<std::uint8_t, 16>;

inline constexpr int kByteBoxLimit = 2;  // characters a box takes
inline constexpr std::string_view kByteDialogTitle = "Enter Bytes to Change";

// "%02X" of the byte.
std::string ByteBoxText(std::uint8_t byte);

// Parses a box as a hexadecimal number: white space skipped, an optional
// sign, then hexadecimal digits of either case up to the first other
// character; the low 8 bits become the byte. A box that yields no digit
// leaves the byte as it was; answers whether a digit was found.
bool ParseByteBox(std::string_view text, std::uint8_t& byte);

}  // namespace brovane

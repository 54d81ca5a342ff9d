#include "screen/byte_boxes.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace brovane {

namespace {

int HexDigit(char c) {
    auto byte = static_cast<unsigned char>(c);
    if (std::isdigit(byte) != 0) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string ByteBoxText(std::uint8_t byte) {
    std::array<char, 3> text{};
    std::snprintf(text.data(), text.size(), "%02X", byte);
    return text.data();
}

bool ParseByteBox(std::string_view text, std::uint8_t& byte) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Only the low 8 bits count, so the value is kept modulo 256 as it grows.
    unsigned value = 0;
    bool digits = false;
    for (; at < text.size() && HexDigit(text[at]) >= 0; ++at) {
        value = (value * 16 + static_cast<unsigned>(HexDigit(text[at]))) & 0xFFu;
        digits = true;
    }
    if (!digits) {
        return false;
    }
    byte = static_cast<std::uint8_t>(negative ? (0x100u - value) & 0xFFu : value);
    return true;
}

}  // namespace brovane

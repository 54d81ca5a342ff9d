// Upper-case hexadecimal numbers appended to a reused text, so that a cell
// is formatted without allocating once the text has grown to its size.
#pragma once

#include <cstdint>
#include <string>

namespace brovane {

// Appends the whole value with at least `digits` digits (at most 16), as
// "%0*X" would: a value wider than `digits` is never cut.
inline void AppendHex(std::string& text, std::uint64_t value, int digits) {
    constexpr int kMaxDigits = 16;
    char reversed[kMaxDigits];
    int count = 0;
    do {
        reversed[count++] = "0123456789ABCDEF"[value & 0xFu];
        value >>= 4;
    } while ((value != 0 || count < digits) && count < kMaxDigits);
    while (count > 0) {
        text += reversed[--count];
    }
}

}  // namespace brovane

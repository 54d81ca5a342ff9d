// Dates and times as directory entries store them.
#pragma once

#include <cstdint>

namespace brovane::imagebuilder {

// Bits 9-15 year since 1980, 5-8 month, 0-4 day.
constexpr std::uint16_t DosDate(unsigned year, unsigned month, unsigned day) {
    return static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}

// Bits 11-15 hour, 5-10 minute, 0-4 seconds halved.
constexpr std::uint16_t DosTime(unsigned hour, unsigned minute, unsigned second) {
    return static_cast<std::uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

struct DosStamp {
    std::uint16_t createdTime = DosTime(10, 30, 0);
    std::uint16_t createdDate = DosDate(2024, 1, 15);
    std::uint16_t accessedDate = DosDate(2024, 1, 15);
    std::uint16_t modifiedTime = DosTime(10, 30, 0);
    std::uint16_t modifiedDate = DosDate(2024, 1, 15);
};

}  // namespace brovane::imagebuilder

// VFAT long-name slots: the name in UTF-16, 13 code units a slot, the slots
// standing in front of their short entry with the name's end farthest away.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brovane::imagebuilder {

using RawEntry = std::array<std::uint8_t, 32>;

inline constexpr std::uint8_t kLongNameAttributes = 0x0F;
inline constexpr std::uint8_t kLastSlotFlag = 0x40;
inline constexpr std::size_t kSlotChars = 13;

// Nothing for text that is not valid UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

// The slots in disk order: the one with the 0x40 flag (the name's end) first,
// slot 1 (its first 13 code units) last. The name is ended by a 0x0000 unit
// when it does not fill its last slot; the rest of that slot is 0xFFFF.
std::vector<RawEntry> LongNameSlots(std::u16string_view name, std::uint8_t checksum);

}  // namespace brovane::imagebuilder

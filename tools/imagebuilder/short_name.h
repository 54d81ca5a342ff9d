// Short 8.3 names as directory entries store them: 8 name bytes and 3
// extension bytes, padded with spaces.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brovane::imagebuilder {

using ShortName = std::array<std::uint8_t, 11>;

// "REPORT.TXT" -> "REPORT  TXT"; "." and ".." as the dot entries store them.
// Lower-case ASCII is taken as upper case. False with a message for an empty
// part, a part too long or a character a short name may not hold.
bool ParseShortName(std::string_view text, ShortName& name, std::string& error);

// Up to 11 bytes of label text padded with spaces.
ShortName LabelName(std::string_view label);

// The checksum each long-name slot carries of its short entry's 11 bytes.
std::uint8_t ShortNameChecksum(const ShortName& name);

}  // namespace brovane::imagebuilder

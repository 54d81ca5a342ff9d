// CRC-32 as zlib, PNG and GPT compute it (reflected polynomial 0xEDB88320,
// starting from and finishing with all ones).
#pragma once

#include <cstdint>

#include "format/little_endian.h"

namespace brovane {

// The CRC of `bytes` following on from `crc` (the CRC of the bytes before;
// 0 for none).
std::uint32_t Crc32(ByteSpan bytes, std::uint32_t crc = 0);

}  // namespace brovane

// One 16-byte entry of a partition table (a master boot record or an
// extended partition table), as stored.
#pragma once

#include <cstdint>

#include "format/little_endian.h"

namespace brovane {

inline constexpr int kPartitionEntries = 4;

struct PartitionEntry {
    std::uint8_t bootIndicator;
    std::uint8_t startHead;
    std::uint8_t startSector;    // bits 0-5 sector, bits 6-7 cylinder bits 8-9
    std::uint8_t startCylinder;  // low 8 bits
    std::uint8_t systemIndicator;
    std::uint8_t endHead;
    std::uint8_t endSector;
    std::uint8_t endCylinder;
    std::uint32_t relativeSectors;
    std::uint32_t totalSectors;
};

// Entry index (0 to 3) of the table in a 512-byte sector.
PartitionEntry ReadPartitionEntry(ByteSpan sector, int index);

}  // namespace brovane

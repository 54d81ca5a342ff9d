// The fields of a FAT boot record (BIOS parameter block) that the program
// reads, as stored, and the two values taken from a 16-bit or a 32-bit count.
#pragma once

#include <array>
#include <cstdint>

#include "format/little_endian.h"

namespace brovane {

struct BootRecord {
    std::array<char, 8> oemName;
    std::uint16_t bytesPerSector;
    std::uint8_t sectorsPerCluster;
    std::uint16_t reservedSectors;
    std::uint8_t numberOfFats;
    std::uint16_t rootEntries;
    std::uint16_t totalSectors16;
    std::uint8_t mediaDescriptor;
    std::uint16_t sectorsPerFat16;
    std::uint16_t sectorsPerTrack;
    std::uint16_t heads;
    std::uint32_t hiddenSectors;
    std::uint32_t totalSectors32;
    std::uint32_t sectorsPerFat32;
    std::uint32_t rootCluster;
};

// From the first sector of a volume.
BootRecord ReadBootRecord(ByteSpan sector);

// The 16-bit count when it is not 0, else the 32-bit count.
std::uint32_t TotalSectors(const BootRecord& record);
std::uint32_t SectorsPerFatAnyWidth(const BootRecord& record);

}  // namespace brovane

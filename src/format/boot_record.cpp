#include "format/boot_record.h"

#include "format/little_endian.h"

namespace brovane {

namespace {

enum BootOffset : std::size_t {
    kOemName = 3,
    kBytesPerSector = 11,
    kSectorsPerCluster = 13,
    kReservedSectors = 14,
    kNumberOfFats = 16,
    kRootEntries = 17,
    kTotalSectors16 = 19,
    kMediaDescriptor = 21,
    kSectorsPerFat16 = 22,
    kSectorsPerTrack = 24,
    kHeads = 26,
    kHiddenSectors = 28,
    kTotalSectors32 = 32,
    kSectorsPerFat32 = 36,
    kRootCluster = 44,
};

}  // namespace

BootRecord ReadBootRecord(ByteSpan sector) {
    BootRecord record{};
    for (std::size_t i = 0; i < record.oemName.size(); ++i) {
        record.oemName[i] = static_cast<char>(ReadU8(sector, kOemName + i));
    }
    record.bytesPerSector = ReadU16(sector, kBytesPerSector);
    record.sectorsPerCluster = ReadU8(sector, kSectorsPerCluster);
    record.reservedSectors = ReadU16(sector, kReservedSectors);
    record.numberOfFats = ReadU8(sector, kNumberOfFats);
    record.rootEntries = ReadU16(sector, kRootEntries);
    record.totalSectors16 = ReadU16(sector, kTotalSectors16);
    record.mediaDescriptor = ReadU8(sector, kMediaDescriptor);
    record.sectorsPerFat16 = ReadU16(sector, kSectorsPerFat16);
    record.sectorsPerTrack = ReadU16(sector, kSectorsPerTrack);
    record.heads = ReadU16(sector, kHeads);
    record.hiddenSectors = ReadU32(sector, kHiddenSectors);
    record.totalSectors32 = ReadU32(sector, kTotalSectors32);
    record.sectorsPerFat32 = ReadU32(sector, kSectorsPerFat32);
    record.rootCluster = ReadU32(sector, kRootCluster);
    return record;
}

std::uint32_t TotalSectors(const BootRecord& record) {
    return record.totalSectors16 != 0 ? record.totalSectors16 : record.totalSectors32;
}

std::uint32_t SectorsPerFatAnyWidth(const BootRecord& record) {
    return record.sectorsPerFat16 != 0 ? record.sectorsPerFat16 : record.sectorsPerFat32;
}

}  // namespace brovane

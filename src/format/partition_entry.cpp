#include "format/partition_entry.h"

#include "format/little_endian.h"

namespace brovane {

namespace {

constexpr std::size_t kTableOffset = 446;
constexpr std::size_t kEntryBytes = 16;

enum EntryOffset : std::size_t {
    kBootIndicator = 0,
    kStartHead = 1,
    kStartSector = 2,
    kStartCylinder = 3,
    kSystemIndicator = 4,
    kEndHead = 5,
    kEndSector = 6,
    kEndCylinder = 7,
    kRelativeSectors = 8,
    kTotalSectors = 12,
};

}  // namespace

PartitionEntry ReadPartitionEntry(ByteSpan sector, int index) {
    ByteSpan entry =
        SubSpan(sector, kTableOffset + static_cast<std::size_t>(index) * kEntryBytes, kEntryBytes);
    return PartitionEntry{
        ReadU8(entry, kBootIndicator),    ReadU8(entry, kStartHead),
        ReadU8(entry, kStartSector),      ReadU8(entry, kStartCylinder),
        ReadU8(entry, kSystemIndicator),  ReadU8(entry, kEndHead),
        ReadU8(entry, kEndSector),        ReadU8(entry, kEndCylinder),
        ReadU32(entry, kRelativeSectors), ReadU32(entry, kTotalSectors),
    };
}

}  // namespace brovane

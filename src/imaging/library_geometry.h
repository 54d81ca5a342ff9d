// The geometry a disk's partition table was written with: the heads and
// sectors per track under which every used entry's CHS start and end name
// the same sectors as its LBA start and end. The disk library addresses a
// drive without extensions by CHS, so a copy through it needs that geometry
// and must not guess it.
#pragma once

#include <cstdint>
#include <optional>

#include "format/little_endian.h"

namespace brovane {

struct TableGeometry {
    std::uint16_t heads = 0;
    std::uint16_t sectorsPerTrack = 0;
};

// The table lies at tableSector; in an extended table (not the master boot
// record) entries count from it, and its links to the next table, which
// count from elsewhere, are left out. Nothing when no geometry fits every
// entry, or when more than one does.
std::optional<TableGeometry> GeometryOfTable(ByteSpan sector, std::uint64_t tableSector,
                                             bool extendedTable);

}  // namespace brovane

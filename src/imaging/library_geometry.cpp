#include "imaging/library_geometry.h"

#include <vector>

#include "format/partition_entry.h"
#include "tree/system_indicators.h"

namespace brovane {

namespace {

// A CHS address as an entry stores it, and the sector it must name.
struct ChsPoint {
    std::uint32_t cylinder;
    std::uint32_t head;
    std::uint32_t sector;
    std::uint64_t lba;
};

// Cylinder 1023 stands for any cylinder past it: no equation.
constexpr std::uint32_t kOverflowCylinder = 1023;

std::vector<ChsPoint> PointsOf(ByteSpan table, std::uint64_t tableSector, bool extendedTable) {
    std::vector<ChsPoint> points;
    for (int index = 0; index < kPartitionEntries; ++index) {
        const PartitionEntry entry = ReadPartitionEntry(table, index);
        if (entry.systemIndicator == 0 || entry.totalSectors == 0 ||
            (extendedTable && IsExtendedIndicator(entry.systemIndicator))) {
            continue;
        }
        const std::uint64_t start = tableSector + entry.relativeSectors;
        auto add = [&](std::uint8_t head, std::uint8_t sector, std::uint8_t cylinder,
                       std::uint64_t lba) {
            const std::uint32_t fullCylinder = cylinder | ((sector & 0xC0u) << 2);
            if ((sector & 0x3F) != 0 && fullCylinder < kOverflowCylinder) {
                points.push_back({fullCylinder, head, sector & 0x3Fu, lba});
            }
        };
        add(entry.startHead, entry.startSector, entry.startCylinder, start);
        add(entry.endHead, entry.endSector, entry.endCylinder, start + entry.totalSectors - 1);
    }
    return points;
}

bool Fits(const std::vector<ChsPoint>& points, std::uint32_t heads, std::uint32_t perTrack) {
    for (const ChsPoint& p : points) {
        if (p.head >= heads || p.sector > perTrack ||
            (std::uint64_t{p.cylinder} * heads + p.head) * perTrack + p.sector - 1 != p.lba) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<TableGeometry> GeometryOfTable(ByteSpan sector, std::uint64_t tableSector,
                                             bool extendedTable) {
    const std::vector<ChsPoint> points = PointsOf(sector, tableSector, extendedTable);
    if (points.empty()) {
        return std::nullopt;
    }
    std::optional<TableGeometry> found;
    for (std::uint32_t heads = 1; heads <= 255; ++heads) {
        for (std::uint32_t perTrack = 1; perTrack <= 63; ++perTrack) {
            if (Fits(points, heads, perTrack)) {
                if (found) {
                    return std::nullopt;
                }
                found = TableGeometry{static_cast<std::uint16_t>(heads),
                                      static_cast<std::uint16_t>(perTrack)};
            }
        }
    }
    return found;
}

}  // namespace brovane

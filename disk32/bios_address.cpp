#include "disk32/bios_address.h"

namespace brovane::disk32 {

namespace {

constexpr std::uint32_t kUnpackedCylinderBound = 0xFF;
constexpr std::uint64_t kBiosCylinders = 1024;

}  // namespace

std::optional<std::uint64_t> AddressedSector(const LibraryAddress& address,
                                             const DriveGeometry& geometry) {
    if (address.int13Extensions != 0 || address.cylinder > kUnpackedCylinderBound) {
        return address.absoluteSector;
    }
    std::uint64_t cylinder = address.cylinder | ((address.sector & 0xC0u) << 2);
    std::uint32_t sector = address.sector & 0x3Fu;
    if (sector == 0 || sector > geometry.sectorsPerTrack || address.head >= geometry.heads) {
        return std::nullopt;
    }
    return (cylinder * geometry.heads + address.head) * geometry.sectorsPerTrack + sector - 1;
}

std::uint32_t ExtensionValue(const AttachedDrive& drive, bool hardDisk) {
    std::uint64_t chsSectors =
        kBiosCylinders * drive.geometry.heads * drive.geometry.sectorsPerTrack;
    return hardDisk && drive.sectorCount > chsSectors ? 1 : 0;
}

}  // namespace brovane::disk32

// Turns the disk library's eight-argument address into an absolute sector.
//
// A drive with no extended interface (extension value 0) is addressed by
// cylinder, head and sector in its BIOS geometry, as a BIOS of that kind
// would; the absolute sector argument is then ignored. Past cylinder 1000 the
// caller hands over an unpacked address whose head it did not compute, so
// that address, like any call for a drive with the extended interface, goes
// by the absolute sector.
#pragma once

#include <cstdint>
#include <optional>

#include "disk32/attached_drives.h"

namespace brovane::disk32 {

struct LibraryAddress {
    std::uint32_t cylinder;
    std::uint32_t head;
    std::uint32_t sector;
    std::uint32_t absoluteSector;
    std::uint32_t int13Extensions;
};

// The first sector addressed, or nothing when the address lies outside the geometry.
std::optional<std::uint64_t> AddressedSector(const LibraryAddress& address,
                                             const DriveGeometry& geometry);

// The extension value of a drive: 0 (no extended interface) while every
// sector lies within 1024 cylinders of its geometry, 1 beyond.
std::uint32_t ExtensionValue(const AttachedDrive& drive, bool hardDisk);

}  // namespace brovane::disk32

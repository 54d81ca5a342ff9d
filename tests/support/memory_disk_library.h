// The in-memory platform's disk library: sector runs addressed the BIOS way.
//
// A drive whose extension value is 0 (no extended interface) is addressed by
// cylinder, head and sector, converted with the disk's own geometry, so a
// wrong conversion reads a wrong sector; any other drive by the absolute
// sector argument. The cylinder word is taken whole together with bits 6-7
// of the sector word, so the packed form and the unpacked form used past
// cylinder 1000 both address.
#pragma once

#include <cstdint>
#include <optional>

#include "support/memory_disk.h"

namespace brovane {

// One call of ReadDisk32 or WriteDisk32 with its eight arguments.
struct DiskLibraryCall {
    bool write = false;
    std::uint32_t drive = 0;
    std::uint32_t cylinder = 0;
    std::uint32_t head = 0;
    std::uint32_t sector = 0;
    std::uint32_t count = 0;
    std::uint8_t* buffer = nullptr;
    std::uint32_t absoluteSector = 0;
    std::uint32_t int13Extensions = 0;
};

// The first sector a call addresses; nothing for a CHS address outside the
// disk's geometry (sector 0 or past the track, head past the heads).
std::optional<std::uint64_t> AddressedSector(const MemoryDisk& disk, const DiskLibraryCall& call);

// Serves a call on disk as its faults allow; nonzero when every sector of a
// run of at least one moved.
std::uint32_t ServeLibraryCall(MemoryDisk& disk, const DiskLibraryCall& call);

}  // namespace brovane

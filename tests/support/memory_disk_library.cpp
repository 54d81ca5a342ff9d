#include "support/memory_disk_library.h"

namespace brovane {

namespace {

std::optional<std::uint64_t> ChsSector(const MemoryDisk& disk, const DiskLibraryCall& call) {
    const std::uint64_t cylinder = call.cylinder | ((call.sector & 0xC0u) << 2);
    const std::uint32_t sector = call.sector & 0x3Fu;
    if (sector == 0 || sector > disk.sectorsPerTrack || call.head >= disk.heads) {
        return std::nullopt;
    }
    return (cylinder * disk.heads + call.head) * disk.sectorsPerTrack + sector - 1;
}

}  // namespace

std::optional<std::uint64_t> AddressedSector(const MemoryDisk& disk, const DiskLibraryCall& call) {
    if (disk.int13Extensions != 0) {
        return call.absoluteSector;
    }
    return ChsSector(disk, call);
}

std::uint32_t ServeLibraryCall(MemoryDisk& disk, const DiskLibraryCall& call) {
    const auto first = AddressedSector(disk, call);
    if (!first || call.count == 0) {
        return 0;
    }
    const std::uint64_t offset = *first * kMemorySectorBytes;
    const std::uint64_t bytes = std::uint64_t{call.count} * kMemorySectorBytes;
    const std::uint64_t moved = call.write ? WriteWithFaults(disk, offset, call.buffer, bytes)
                                           : ReadWithFaults(disk, offset, call.buffer, bytes);
    return moved == bytes ? 1 : 0;
}

}  // namespace brovane

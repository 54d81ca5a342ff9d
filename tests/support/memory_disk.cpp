#include "support/memory_disk.h"

#include <thread>

#include <algorithm>
#include <cstring>

namespace brovane {

namespace {

std::uint64_t BytesBeforeEnd(const MemoryDisk& disk, std::uint64_t offset, std::uint64_t bytes) {
    return offset >= disk.SizeInBytes() ? 0 : std::min(bytes, disk.SizeInBytes() - offset);
}

// Bytes in front of the first bad sector within [offset, offset + bytes).
std::uint64_t BytesBeforeBadSector(const std::set<std::uint64_t>& badSectors, std::uint64_t offset,
                                   std::uint64_t bytes) {
    const auto bad = badSectors.lower_bound(offset / kMemorySectorBytes);
    if (bad == badSectors.end()) {
        return bytes;
    }
    const std::uint64_t badStart = *bad * kMemorySectorBytes;
    return badStart <= offset ? 0 : std::min(bytes, badStart - offset);
}

enum class TransferDirection { kRead, kWrite };

std::uint64_t AllowedBytes(const MemoryDisk& disk, TransferDirection direction,
                           std::uint64_t offset, std::uint64_t bytes) {
    const bool writing = direction == TransferDirection::kWrite;
    const TransferFaults& faults = writing ? disk.faults.write : disk.faults.read;
    if (faults.moveNothing || (writing && disk.faults.readOnly) ||
        (faults.failRunsLongerThanOneSector && bytes > kMemorySectorBytes)) {
        return 0;
    }
    std::uint64_t allowed = BytesBeforeEnd(disk, offset, bytes);
    if (faults.maxBytesPerCall != 0) {
        allowed = std::min(allowed, faults.maxBytesPerCall);
    }
    return BytesBeforeBadSector(faults.badSectors, offset, allowed);
}

// Calls visit(sector, offset within it, length, position in the run) for
// each piece of the run that lies in one sector.
template <typename Visit>
void ForEachSectorPiece(std::uint64_t offset, std::uint64_t bytes, Visit visit) {
    for (std::uint64_t done = 0; done < bytes;) {
        const std::uint64_t within = (offset + done) % kMemorySectorBytes;
        const std::uint64_t length = std::min(bytes - done, kMemorySectorBytes - within);
        visit((offset + done) / kMemorySectorBytes, within, length, done);
        done += length;
    }
}

void CopyOut(const MemoryDisk& disk, std::uint64_t offset, std::uint8_t* buffer,
             std::uint64_t bytes) {
    ForEachSectorPiece(
        offset, bytes,
        [&](std::uint64_t sector, std::uint64_t within, std::uint64_t length, std::uint64_t at) {
            const auto stored = disk.sectors.find(sector);
            if (stored == disk.sectors.end()) {
                std::memset(buffer + at, 0, length);
            } else {
                std::memcpy(buffer + at, stored->second.data() + within, length);
            }
        });
}

void CopyIn(MemoryDisk& disk, std::uint64_t offset, const std::uint8_t* buffer,
            std::uint64_t bytes) {
    ForEachSectorPiece(
        offset, bytes,
        [&](std::uint64_t sector, std::uint64_t within, std::uint64_t length, std::uint64_t at) {
            std::memcpy(disk.sectors[sector].data() + within, buffer + at, length);
        });
}

}  // namespace

std::uint64_t ReadWithFaults(const MemoryDisk& disk, std::uint64_t offset, void* buffer,
                             std::uint64_t bytes) {
    ++disk.readsSeen;
    std::this_thread::sleep_for(disk.faults.readTime);
    if (disk.faults.readsBeforeDeath != 0 && disk.readsSeen > disk.faults.readsBeforeDeath) {
        return 0;
    }
    const std::uint64_t allowed = AllowedBytes(disk, TransferDirection::kRead, offset, bytes);
    CopyOut(disk, offset, static_cast<std::uint8_t*>(buffer), allowed);
    return allowed;
}

std::uint64_t WriteWithFaults(MemoryDisk& disk, std::uint64_t offset, const void* buffer,
                              std::uint64_t bytes) {
    const std::uint64_t allowed = AllowedBytes(disk, TransferDirection::kWrite, offset, bytes);
    CopyIn(disk, offset, static_cast<const std::uint8_t*>(buffer), allowed);
    return allowed;
}

std::vector<std::uint8_t> PeekBytes(const MemoryDisk& disk, std::uint64_t offset,
                                    std::uint64_t bytes) {
    std::vector<std::uint8_t> data(BytesBeforeEnd(disk, offset, bytes));
    CopyOut(disk, offset, data.data(), data.size());
    return data;
}

void PokeBytes(MemoryDisk& disk, std::uint64_t offset, const std::vector<std::uint8_t>& bytes) {
    CopyIn(disk, offset, bytes.data(), BytesBeforeEnd(disk, offset, bytes.size()));
}

}  // namespace brovane

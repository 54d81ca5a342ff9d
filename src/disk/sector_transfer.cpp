// Both directions share one algorithm; they differ only in the back-end call
// and in what the sector-by-sector retry does with a sector that still
// fails (a read fills it with 0xE5, a write carries on).
#include "disk/sector_transfer.h"

#include <algorithm>
#include <cstring>

#include "screen/texts.h"

namespace brovane {

namespace {

enum class Direction { Read, Write };

bool Transfer(const PlatformDiskScreen& io, const SectorRun& item, std::uint8_t* buffer,
              Direction direction);

std::uint32_t DeviceTransfer(const PlatformDiskScreen& io, DeviceHandle handle,
                             std::uint64_t offset, std::uint8_t* buffer, std::uint32_t bytes,
                             Direction direction) {
    if (direction == Direction::Read) {
        return io.platform.ReadAt(handle, offset, buffer, bytes);
    }
    return io.platform.WriteAt(handle, offset, buffer, bytes);
}

// Each sector of a failed run on its own, into its own place of the buffer.
// A sector whose relative number would not fit 32 bits is not accessible,
// rather than wrapped round to the origin's first sectors.
void RetryOneByOne(const PlatformDiskScreen& io, SectorRun item, std::uint32_t count,
                   std::uint8_t* buffer, Direction direction) {
    std::uint64_t first = item.relativeSector;
    item.sectorCount = 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t* place = buffer + std::size_t{i} * kSectorBytes;
        bool moved = first + i <= UINT32_MAX;
        if (moved) {
            item.relativeSector = static_cast<std::uint32_t>(first + i);
            moved = Transfer(io, item, place, direction);
        }
        if (!moved && direction == Direction::Read) {
            std::memset(place, kUnreadableFill, kSectorBytes);
        }
    }
}

bool TransferByDevicePath(const PlatformDiskScreen& io, const SectorRun& item, std::uint8_t* buffer,
                          Direction direction) {
    std::uint64_t bytes64 = std::uint64_t{item.sectorCount} * kSectorBytes;
    if (item.driveNumber >= kDriveCount || bytes64 > UINT32_MAX) {
        return false;
    }
    auto bytes = static_cast<std::uint32_t>(bytes64);
    std::uint64_t offset = (std::uint64_t{item.relativeSector} + item.baseSector) * kSectorBytes;
    DeviceHandle handle = io.disk.driveHandles[item.driveNumber];
    std::uint32_t moved = DeviceTransfer(io, handle, offset, buffer, bytes, direction);
    if (moved == 0 && item.driveNumber < kFirstHardDisk) {
        if (!ReopenVolume(io.platform, io.disk, item.driveNumber)) {
            return false;
        }
        handle = io.disk.driveHandles[item.driveNumber];
        moved = DeviceTransfer(io, handle, offset, buffer, bytes, direction);
    }
    if (moved == bytes) {
        return true;
    }
    if (item.sectorCount > 1) {
        RetryOneByOne(io, item, item.sectorCount, buffer, direction);
    }
    return false;
}

// The library takes the absolute sector as 32 bits: a piece reaching past
// them has no address there, and is failed rather than sent wrapped round
// to the start of the disk.
bool HasLibraryAddress(const SectorRun& piece, std::uint32_t count) {
    constexpr std::uint64_t kSectorNumbers = std::uint64_t{1} << 32;
    return std::uint64_t{piece.relativeSector} + piece.baseSector + count <= kSectorNumbers;
}

bool TransferByLibrary(const PlatformDiskScreen& io, const SectorRun& item, std::uint8_t* buffer,
                       Direction direction) {
    DiskAccess& disk = io.disk;
    const DiskTransferProc& call =
        direction == Direction::Read ? disk.readDisk32 : disk.writeDisk32;
    // Without a geometry there is no address to give the library.
    if (!call || item.heads == 0 || item.sectorsPerTrack == 0) {
        return false;
    }
    SectorRun copy = item;
    std::uint32_t remaining = item.sectorCount;
    while (remaining > 0) {
        ComputeChsAddress(copy, disk.chsScratch);
        const ChsAddress& chs = disk.chsScratch;
        // A run is cut at the end of each track.
        std::uint32_t toTrackEnd = copy.sectorsPerTrack - (chs.sector & 0x3Fu) + 1;
        std::uint32_t piece = std::min(remaining, toTrackEnd);
        std::uint8_t* place = buffer + std::size_t{item.sectorCount - remaining} * kSectorBytes;
        if (!HasLibraryAddress(copy, piece) ||
            call(copy.driveNumber, chs.cylinder, chs.head, chs.sector, piece, place,
                 copy.relativeSector + copy.baseSector, copy.int13Extensions) == 0) {
            if (piece > 1) {
                RetryOneByOne(io, copy, piece, place, direction);
            }
            return false;
        }
        remaining -= piece;
        copy.relativeSector += piece;
    }
    return true;
}

bool Transfer(const PlatformDiskScreen& io, const SectorRun& item, std::uint8_t* buffer,
              Direction direction) {
    io.screen.SetStatusText(kProgressPane, kWaitText);
    // Nothing to move: done, without asking the device.
    if (item.sectorCount == 0) {
        return true;
    }
    if (io.disk.diskAccessMode == DAM_DISK_LIBRARY) {
        return TransferByLibrary(io, item, buffer, direction);
    }
    return TransferByDevicePath(io, item, buffer, direction);
}

}  // namespace

void ComputeChsAddress(const SectorRun& item, ChsAddress& chs) {
    std::uint32_t heads = item.heads;
    std::uint32_t perTrack = item.sectorsPerTrack;
    std::uint32_t originCylinder = item.cylinder | ((item.sector & 0xC0u) << 2);
    std::uint32_t originSector = item.sector & 0x3Fu;
    std::uint32_t target =
        (originCylinder * heads + item.head) * perTrack + originSector - 1 + item.relativeSector;
    std::uint32_t track = target / perTrack;
    auto sector = static_cast<std::uint16_t>(target % perTrack + 1);
    auto cylinder = static_cast<std::uint16_t>(track / heads);
    if (cylinder <= 1000) {
        chs.cylinder = cylinder & 0xFF;
        chs.sector = static_cast<std::uint16_t>(sector | ((cylinder >> 2) & 0xC0));
        chs.head = static_cast<std::uint16_t>(track % heads);
    } else {
        chs.cylinder = cylinder;
        chs.sector = sector;
    }
}

bool ReadSectors(const PlatformDiskScreen& io, const SectorRun& item, std::uint8_t* buffer) {
    return Transfer(io, item, buffer, Direction::Read);
}

bool WriteSectors(const PlatformDiskScreen& io, const SectorRun& item, const std::uint8_t* buffer) {
    // The write path never stores into the buffer.
    return Transfer(io, item, const_cast<std::uint8_t*>(buffer), Direction::Write);
}

}  // namespace brovane

// Both directions share one algorithm; they differ only in the back-end call
// and in what the sector-by-sector retry does with a sector that still
// fails (a read fills it with 0xE5, a write carries on). A read may also
// note, sector by sector, what it could not read: the copy to an image needs
// to know exactly which sectors are bad.
#include "disk/sector_transfer.h"

#include <algorithm>
#include <cstring>

#include "screen/texts.h"

namespace brovane {

namespace {

enum class Direction { Read, Write };

// What one transfer works with; `unread`, when not empty, has a flag per
// sector of the run, set for each sector the transfer did not move.
struct TransferJob {
    Platform& platform;
    DiskAccess& disk;
    Direction direction;
    std::span<std::uint8_t> unread;
};

bool Transfer(const TransferJob& job, const SectorRun& item, std::uint8_t* buffer);

void NoteUnread(const TransferJob& job, std::uint32_t first, std::uint32_t count,
                std::uint8_t why = kSectorFailed) {
    for (std::uint32_t i = first; i < first + count && i < job.unread.size(); ++i) {
        job.unread[i] = why;
    }
}

std::uint32_t DeviceTransfer(const TransferJob& job, DeviceHandle handle, std::uint64_t offset,
                             std::uint8_t* buffer, std::uint32_t bytes) {
    if (job.direction == Direction::Read) {
        return job.platform.ReadAt(handle, offset, buffer, bytes);
    }
    return job.platform.WriteAt(handle, offset, buffer, bytes);
}

// Each sector of a failed run on its own, into its own place of the buffer.
// A sector whose relative number would not fit 32 bits is not accessible,
// rather than wrapped round to the origin's first sectors. `offset` is the
// place of the piece's first sector in the whole run.
void RetryOneByOne(const TransferJob& job, SectorRun item, std::uint32_t count,
                   std::uint8_t* buffer, std::uint32_t offset) {
    std::uint64_t first = item.relativeSector;
    item.sectorCount = 1;
    const TransferJob single{job.platform, job.disk, job.direction, {}};
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t* place = buffer + std::size_t{i} * kSectorBytes;
        bool moved = first + i <= UINT32_MAX;
        if (moved) {
            item.relativeSector = static_cast<std::uint32_t>(first + i);
            moved = Transfer(single, item, place);
        }
        if (!moved) {
            NoteUnread(job, offset + i, 1);
            if (job.direction == Direction::Read) {
                std::memset(place, kUnreadableFill, kSectorBytes);
            }
        }
    }
}

bool TransferByDevicePath(const TransferJob& job, const SectorRun& item, std::uint8_t* buffer) {
    std::uint64_t bytes64 = std::uint64_t{item.sectorCount} * kSectorBytes;
    if (item.driveNumber >= kDriveCount || bytes64 > UINT32_MAX) {
        NoteUnread(job, 0, item.sectorCount);
        return false;
    }
    auto bytes = static_cast<std::uint32_t>(bytes64);
    std::uint64_t offset = (std::uint64_t{item.relativeSector} + item.baseSector) * kSectorBytes;
    DeviceHandle handle = job.disk.driveHandles[item.driveNumber];
    std::uint32_t moved = DeviceTransfer(job, handle, offset, buffer, bytes);
    if (moved == 0 && item.driveNumber < kFirstHardDisk) {
        if (!ReopenVolume(job.platform, job.disk, item.driveNumber)) {
            NoteUnread(job, 0, item.sectorCount);
            return false;
        }
        handle = job.disk.driveHandles[item.driveNumber];
        moved = DeviceTransfer(job, handle, offset, buffer, bytes);
    }
    if (moved == bytes) {
        return true;
    }
    if (item.sectorCount > 1) {
        RetryOneByOne(job, item, item.sectorCount, buffer, 0);
    } else {
        NoteUnread(job, 0, 1);
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

// A failed piece ends the transfer: the sectors behind it are not moved.
bool TransferByLibrary(const TransferJob& job, const SectorRun& item, std::uint8_t* buffer) {
    DiskAccess& disk = job.disk;
    const DiskTransferProc& call =
        job.direction == Direction::Read ? disk.readDisk32 : disk.writeDisk32;
    // Without a geometry there is no address to give the library.
    if (!call || item.heads == 0 || item.sectorsPerTrack == 0) {
        NoteUnread(job, 0, item.sectorCount);
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
        const std::uint32_t done = item.sectorCount - remaining;
        std::uint8_t* place = buffer + std::size_t{done} * kSectorBytes;
        if (!HasLibraryAddress(copy, piece) ||
            call(copy.driveNumber, chs.cylinder, chs.head, chs.sector, piece, place,
                 copy.relativeSector + copy.baseSector, copy.int13Extensions) == 0) {
            if (piece > 1) {
                RetryOneByOne(job, copy, piece, place, done);
            } else {
                NoteUnread(job, done, 1);
            }
            NoteUnread(job, done + piece, remaining - piece, kSectorNotReached);
            return false;
        }
        remaining -= piece;
        copy.relativeSector += piece;
    }
    return true;
}

bool Transfer(const TransferJob& job, const SectorRun& item, std::uint8_t* buffer) {
    // Nothing to move: done, without asking the device.
    if (item.sectorCount == 0) {
        return true;
    }
    if (job.disk.diskAccessMode == DAM_DISK_LIBRARY) {
        return TransferByLibrary(job, item, buffer);
    }
    return TransferByDevicePath(job, item, buffer);
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
    io.screen.SetStatusText(kProgressPane, kWaitText);
    return Transfer({io.platform, io.disk, Direction::Read, {}}, item, buffer);
}

bool WriteSectors(const PlatformDiskScreen& io, const SectorRun& item, const std::uint8_t* buffer) {
    io.screen.SetStatusText(kProgressPane, kWaitText);
    // The write path never stores into the buffer.
    return Transfer({io.platform, io.disk, Direction::Write, {}}, item,
                    const_cast<std::uint8_t*>(buffer));
}

bool ReadSectorsNotingUnread(Platform& platform, DiskAccess& disk, const SectorRun& item,
                             std::uint8_t* buffer, std::span<std::uint8_t> unread) {
    std::fill(unread.begin(), unread.end(), std::uint8_t{0});
    return Transfer({platform, disk, Direction::Read, unread}, item, buffer);
}

}  // namespace brovane

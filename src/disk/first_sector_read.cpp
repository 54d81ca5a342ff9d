#include "disk/first_sector_read.h"

#include "disk/sector_transfer.h"

namespace brovane {

namespace {

FirstSectorRead ReadThroughLibrary(const PlatformDiskScreen& io, const SectorRun& item,
                                   std::uint8_t* buffer) {
    const DiskTransferProc& read = io.disk.readDisk32;
    std::uint32_t count = item.sectorCount & 0xFFFFu;
    bool done = read && read(item.driveNumber, item.cylinder, item.head, item.sector, count, buffer,
                             item.baseSector, item.int13Extensions) != 0;
    return done ? FirstSectorRead::Read : FirstSectorRead::NotRead;
}

FirstSectorRead ReadThroughDevicePath(const PlatformDiskScreen& io, const SectorRun& item,
                                      std::uint8_t* buffer, FloppyReopen reopen) {
    std::uint64_t bytes = std::uint64_t{item.sectorCount} * kSectorBytes;
    if (item.driveNumber >= kDriveCount || bytes > UINT32_MAX) {
        return FirstSectorRead::NotRead;
    }
    Platform& platform = io.platform;
    DiskAccess& disk = io.disk;
    bool floppy = item.driveNumber < kFirstHardDisk;
    if (floppy && reopen.beforeRead && !ReopenVolume(platform, disk, item.driveNumber)) {
        return FirstSectorRead::OpenFailed;
    }
    auto length = static_cast<std::uint32_t>(bytes);
    std::uint64_t offset = std::uint64_t{item.baseSector} * kSectorBytes;
    std::uint32_t moved =
        platform.ReadAt(disk.driveHandles[item.driveNumber], offset, buffer, length);
    if (moved == 0 && floppy && reopen.whenNothingRead) {
        if (!ReopenVolume(platform, disk, item.driveNumber)) {
            return FirstSectorRead::OpenFailed;
        }
        offset = reopen.retryFromDeviceStart
                     ? 0
                     : (std::uint64_t{item.relativeSector} + item.baseSector) * kSectorBytes;
        moved = platform.ReadAt(disk.driveHandles[item.driveNumber], offset, buffer, length);
    }
    return moved == length ? FirstSectorRead::Read : FirstSectorRead::NotRead;
}

}  // namespace

FirstSectorRead ReadFirstSectors(const PlatformDiskScreen& io, const SectorRun& item,
                                 std::uint8_t* buffer, FloppyReopen reopen) {
    if (io.disk.diskAccessMode == DAM_DISK_LIBRARY) {
        return ReadThroughLibrary(io, item, buffer);
    }
    return ReadThroughDevicePath(io, item, buffer, reopen);
}

}  // namespace brovane

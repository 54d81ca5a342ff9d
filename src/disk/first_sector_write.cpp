#include "disk/first_sector_write.h"

namespace brovane {

namespace {

FirstSectorWrite WriteThroughLibrary(const PlatformDiskScreen& io, const SectorRun& run,
                                     const std::uint8_t* buffer) {
    const DiskTransferProc& write = io.disk.writeDisk32;
    // The library's write never stores into the buffer.
    bool done =
        write && write(run.driveNumber, run.cylinder, run.head, run.sector, 1,
                       const_cast<std::uint8_t*>(buffer), run.baseSector, run.int13Extensions) != 0;
    return done ? FirstSectorWrite::Written : FirstSectorWrite::NotWritten;
}

FirstSectorWrite WriteThroughDevicePath(const PlatformDiskScreen& io, const SectorRun& run,
                                        const std::uint8_t* buffer) {
    if (run.driveNumber >= kDriveCount) {
        return FirstSectorWrite::NotWritten;
    }
    std::uint64_t offset = std::uint64_t{run.baseSector} * kSectorBytes;
    std::uint32_t moved =
        io.platform.WriteAt(io.disk.driveHandles[run.driveNumber], offset, buffer, kSectorBytes);
    if (moved == 0 && run.driveNumber < kFirstHardDisk) {
        if (!ReopenVolume(io.platform, io.disk, run.driveNumber)) {
            return FirstSectorWrite::OpenFailed;
        }
        moved = io.platform.WriteAt(io.disk.driveHandles[run.driveNumber], offset, buffer,
                                    kSectorBytes);
    }
    return moved == kSectorBytes ? FirstSectorWrite::Written : FirstSectorWrite::NotWritten;
}

}  // namespace

FirstSectorWrite WriteFirstSector(const PlatformDiskScreen& io, const SectorRun& run,
                                  const std::uint8_t* buffer) {
    if (io.disk.diskAccessMode == DAM_DISK_LIBRARY) {
        return WriteThroughLibrary(io, run, buffer);
    }
    return WriteThroughDevicePath(io, run, buffer);
}

}  // namespace brovane

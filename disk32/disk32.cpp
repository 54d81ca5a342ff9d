// The disk library: ReadDisk32, WriteDisk32 and CheckInt13Extension32 over
// the attached drives, and the entry by which the platform attaches them.
// A transfer succeeds (answers 1) only when every sector of the run moved;
// a write, only when every byte reached the device. A drive opened
// read-only refuses every write.
#include <algorithm>
#include <cstdint>

#include "disk32/attached_drives.h"
#include "disk32/bios_address.h"
#include "platform/device_transfer.h"
#include "platform/disk_units.h"

namespace brovane::disk32 {

namespace {

// The most sectors one platform transfer moves (its byte count is 32-bit).
constexpr std::uint64_t kPieceSectors = 1u << 22;

bool MoveAll(const PosixDevice& device, std::uint64_t first, std::uint64_t count,
             std::uint8_t* buffer, bool write) {
    for (std::uint64_t done = 0; done < count;) {
        const std::uint64_t offset = (first + done) * kSectorBytes;
        const auto bytes =
            static_cast<std::uint32_t>(std::min(count - done, kPieceSectors) * kSectorBytes);
        std::uint8_t* at = buffer + done * kSectorBytes;
        const std::uint32_t moved = write ? WritePosixDevice(device, offset, at, bytes)
                                          : ReadPosixDevice(device, offset, at, bytes);
        if (moved != bytes) {
            return false;
        }
        done += bytes / kSectorBytes;
    }
    return true;
}

std::uint32_t Transfer(std::uint32_t drive, const LibraryAddress& address, std::uint32_t count,
                       std::uint8_t* buffer, bool write) {
    const AttachedDrive* found = FindDrive(drive);
    if (found == nullptr || count == 0 || buffer == nullptr) {
        return 0;
    }
    if (found->device.bufferedFd < 0 || (write && found->device.readOnly)) {
        return 0;
    }
    std::optional<std::uint64_t> first = AddressedSector(address, found->geometry);
    if (!first || *first + count > found->sectorCount) {
        return 0;
    }
    return MoveAll(found->device, *first, count, buffer, write) ? 1 : 0;
}

}  // namespace

}  // namespace brovane::disk32

#define DISK32_EXPORT extern "C" __attribute__((visibility("default")))

DISK32_EXPORT void BrovaneAttachDevices(const BrovaneDeviceTable* table) {
    if (table != nullptr) {
        brovane::disk32::AttachDrives(*table);
    }
}

DISK32_EXPORT std::uint32_t ReadDisk32(std::uint32_t drive, std::uint32_t cylinder,
                                       std::uint32_t head, std::uint32_t sector,
                                       std::uint32_t count, std::uint8_t* buffer,
                                       std::uint32_t absoluteSector,
                                       std::uint32_t int13Extensions) {
    return brovane::disk32::Transfer(
        drive, {cylinder, head, sector, absoluteSector, int13Extensions}, count, buffer, false);
}

DISK32_EXPORT std::uint32_t WriteDisk32(std::uint32_t drive, std::uint32_t cylinder,
                                        std::uint32_t head, std::uint32_t sector,
                                        std::uint32_t count, std::uint8_t* buffer,
                                        std::uint32_t absoluteSector,
                                        std::uint32_t int13Extensions) {
    return brovane::disk32::Transfer(
        drive, {cylinder, head, sector, absoluteSector, int13Extensions}, count, buffer, true);
}

DISK32_EXPORT std::uint32_t CheckInt13Extension32(std::uint32_t drive) {
    const brovane::disk32::AttachedDrive* found = brovane::disk32::FindDrive(drive);
    return found != nullptr
               ? brovane::disk32::ExtensionValue(*found, drive >= brovane::kFirstHardDisk)
               : 0;
}

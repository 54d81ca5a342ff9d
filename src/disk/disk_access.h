// How disks are reached in this run, and the handles and library functions
// that reach them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/disk_units.h"
#include "platform/platform.h"
#include "screen/screen_operations.h"

namespace brovane {

enum DiskAccessMode : std::uint8_t {
    DAM_DEVICE_PATHS,  // device namespace paths, positioned transfers
    DAM_DISK_LIBRARY,  // ReadDisk32 and WriteDisk32 of the disk library
};

// A cylinder/head/sector address packed as a partition entry packs it: low
// 8 bits of the cylinder, sector number in bits 0-5 with cylinder bits 8-9
// in bits 6-7. Above cylinder 1000 the cylinder word holds the full number
// and the sector word the bare sector number.
struct ChsAddress {
    std::uint16_t cylinder = 0;
    std::uint16_t head = 0;
    std::uint16_t sector = 0;
};

inline constexpr std::size_t kDriveCount = 256;

struct DiskAccess {
    DiskAccessMode diskAccessMode = DAM_DEVICE_PATHS;
    std::string programDirectory;
    std::uint32_t floppyCount = 0;
    std::uint32_t hardDiskCount = 0;
    bool diskAccessReady = false;
    TreeItemHandle lastHardDiskItem = kNoTreeItem;
    // Indexed by drive number: 0 never opened, kInvalidHandle after a failed open.
    std::array<DeviceHandle, kDriveCount> driveHandles{};
    LibraryHandle library = 0;
    DiskTransferProc readDisk32;
    DiskTransferProc writeDisk32;
    ExtensionCheckProc checkInt13Extension32;
    // Scratch of the last address conversion: above cylinder 1000 the head
    // word keeps what the conversion before it left.
    ChsAddress chsScratch;
};

bool IsOpenHandle(DeviceHandle handle);
// Closes the drive's handle if one is open; the entry becomes 0.
void CloseDriveHandle(Platform& platform, DiskAccess& disk, std::size_t drive);
// Opens a floppy volume afresh; the entry keeps the result, a failed open
// included. False when it cannot be opened.
bool ReopenVolume(Platform& platform, DiskAccess& disk, std::uint16_t drive);

}  // namespace brovane

#include "disk/disk_setup.h"

#include "screen/messages.h"

#include <array>
#include <string>

#include "platform/device_name.h"

namespace brovane {

namespace {

constexpr std::uint32_t kFloppyCountControlCode = 1;

std::uint32_t CountRemovableDrives(Platform& platform) {
    std::uint32_t count = 0;
    std::string root = "A:\\";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        root[0] = letter;
        if (platform.GetDriveType(root) == kDriveRemovable) {
            ++count;
        }
    }
    return count;
}

// Loads the disk library and resolves its three functions; false after
// showing what is missing.
bool LoadDiskLibrary(const PlatformDiskScreen& io) {
    DiskAccess& disk = io.disk;
    Platform& platform = io.platform;
    disk.library =
        platform.LoadLibrary(platform.GetShortPathName(disk.programDirectory + "Disk32.DLL"));
    if (disk.library == 0) {
        io.screen.Notify(kDllNotFoundText);
        return false;
    }
    disk.readDisk32 = platform.GetDiskTransferProc(disk.library, "ReadDisk32");
    if (!disk.readDisk32) {
        io.screen.Notify(kReadFunctionMissingText);
        return false;
    }
    disk.writeDisk32 = platform.GetDiskTransferProc(disk.library, "WriteDisk32");
    if (!disk.writeDisk32) {
        io.screen.Notify(kWriteFunctionMissingText);
        return false;
    }
    disk.checkInt13Extension32 =
        platform.GetExtensionCheckProc(disk.library, "CheckInt13Extension32");
    if (!disk.checkInt13Extension32) {
        io.screen.Notify(kExtensionFunctionMissingText);
        return false;
    }
    return true;
}

// Asks the virtual device for the number of floppy drives; 0 after showing
// that it cannot be opened.
std::uint32_t AskVirtualDeviceForFloppies(const PlatformDiskScreen& io) {
    Platform& platform = io.platform;
    std::string path = platform.GetShortPathName(io.disk.programDirectory + "DISK.VXD");
    DeviceHandle device = platform.OpenVirtualDevice(std::string(kDeviceNamespacePrefix) + path);
    if (!IsOpenHandle(device)) {
        io.screen.Notify(kVxdNotOpenedText);
        return 0;
    }
    std::array<std::uint8_t, 4> output{};
    std::uint32_t returned = 0;
    platform.DeviceIoControl(device, kFloppyCountControlCode, output.data(), output.size(),
                             &returned);
    platform.CloseVirtualDevice(device);
    return static_cast<std::uint32_t>(output[0]) | static_cast<std::uint32_t>(output[1]) << 8 |
           static_cast<std::uint32_t>(output[2]) << 16 |
           static_cast<std::uint32_t>(output[3]) << 24;
}

}  // namespace

bool SetUpDiskAccess(const PlatformDiskScreen& io) {
    DiskAccess& disk = io.disk;
    bool libraryPlatform = (io.platform.GetVersion() & kVersionDiskLibraryBit) != 0;
    disk.diskAccessMode = libraryPlatform ? DAM_DISK_LIBRARY : DAM_DEVICE_PATHS;
    if (disk.diskAccessMode == DAM_DEVICE_PATHS) {
        disk.floppyCount = CountRemovableDrives(io.platform);
    } else {
        if (!LoadDiskLibrary(io)) {
            return false;
        }
        disk.floppyCount = AskVirtualDeviceForFloppies(io);
    }
    disk.diskAccessReady = true;
    return true;
}

bool ProbeHardDisk(const PlatformDiskScreen& io, std::uint32_t n) {
    DiskAccess& disk = io.disk;
    auto drive = static_cast<std::uint16_t>(kFirstHardDisk + n);
    if (disk.diskAccessMode == DAM_DEVICE_PATHS) {
        DeviceHandle& handle = disk.driveHandles[drive];
        if (handle != 0) {
            CloseDriveHandle(io.platform, disk, drive);
        }
        handle = io.platform.OpenDevice(HardDiskDeviceName(n));
        return IsOpenHandle(handle);
    }
    std::array<std::uint8_t, kSectorBytes> scratch{};
    return disk.readDisk32(drive, 0, 0, 1, 1, scratch.data(), 0, 0) != 0;
}

void ReleaseDrives(Platform& platform, DiskAccess& disk) {
    if (disk.library != 0) {
        platform.FreeLibrary(disk.library);
        disk.library = 0;
        disk.readDisk32 = nullptr;
        disk.writeDisk32 = nullptr;
        disk.checkInt13Extension32 = nullptr;
    }
    // Every handle opened in this run, floppy volumes reopened on demand included.
    for (std::size_t drive = 0; drive < kDriveCount; ++drive) {
        CloseDriveHandle(platform, disk, drive);
    }
    disk.diskAccessReady = false;
}

}  // namespace brovane

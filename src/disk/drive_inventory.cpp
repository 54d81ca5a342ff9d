#include "disk/drive_inventory.h"

#include <array>
#include <cstdio>

#include "app/command_table.h"
#include "app/session.h"

namespace brovane {

namespace {

constexpr std::uint32_t kFloppyCountControlCode = 1;
// Hard disks 0x80 to 0xFF: as many as drive numbers have room for.
constexpr std::uint32_t kMaxHardDisks = kDriveCount - kFirstHardDisk;

bool AllocatePools(Session& session) {
    if (!session.items.rootPool.Allocate()) {
        session.screen.Notify("Drive Packet memory not enough");
        return false;
    }
    if (!session.items.itemPool.Allocate()) {
        session.screen.Notify("Packets memory not enough");
        session.items.rootPool.Release();
        return false;
    }
    return true;
}

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
bool LoadDiskLibrary(Session& session) {
    DiskAccess& disk = session.disk;
    Platform& platform = session.platform;
    disk.library =
        platform.LoadLibrary(platform.GetShortPathName(disk.programDirectory + "Disk32.DLL"));
    if (disk.library == 0) {
        session.screen.Notify("Disk32.DLL not found");
        return false;
    }
    disk.readDisk32 = platform.GetDiskTransferProc(disk.library, "ReadDisk32");
    if (!disk.readDisk32) {
        session.screen.Notify("ReadDisk32 Function not accessible!");
        return false;
    }
    disk.writeDisk32 = platform.GetDiskTransferProc(disk.library, "WriteDisk32");
    if (!disk.writeDisk32) {
        session.screen.Notify("WriteDisk32 Function not accessible!");
        return false;
    }
    disk.checkInt13Extension32 =
        platform.GetExtensionCheckProc(disk.library, "CheckInt13Extension32");
    if (!disk.checkInt13Extension32) {
        session.screen.Notify("DllCheckInt13Extension Function not accessible!");
        return false;
    }
    return true;
}

// Asks the virtual device for the number of floppy drives; 0 after showing
// that it cannot be opened.
std::uint32_t AskVirtualDeviceForFloppies(Session& session) {
    Platform& platform = session.platform;
    std::string path = platform.GetShortPathName(session.disk.programDirectory + "DISK.VXD");
    DeviceHandle device = platform.OpenVirtualDevice("\\\\.\\" + path);
    if (!IsOpenHandle(device)) {
        session.screen.Notify("Unable to open DISK.VXD");
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

// Opens hard disk n (device paths) or reads its first sector (disk
// library); false when there is no such disk.
bool ProbeHardDisk(Session& session, std::uint32_t n) {
    DiskAccess& disk = session.disk;
    std::uint16_t drive = static_cast<std::uint16_t>(kFirstHardDisk + n);
    if (disk.diskAccessMode == DAM_DEVICE_PATHS) {
        DeviceHandle& handle = disk.driveHandles[drive];
        if (handle != 0) {
            CloseDriveHandle(session.platform, disk, drive);
        }
        handle = session.platform.OpenDevice(HardDiskDevicePath(n));
        return IsOpenHandle(handle);
    }
    std::array<std::uint8_t, 512> scratch{};
    return disk.readDisk32(drive, 0, 0, 1, 1, scratch.data(), 0, 0) != 0;
}

void InsertRootItem(Session& session, const std::string& text, TreeItemInfo* record,
                    TreeItemHandle* inserted) {
    TreeItemHandle item = session.screen.InsertTreeItem(kTreeRoot, kInsertLast, text, true, record);
    if (inserted != nullptr) {
        *inserted = item;
    }
}

// The first record of a drive: its whole first sector, at CHS 0/0/1.
void SetDriveOrigin(TreeItemInfo& record, std::uint16_t drive, std::uint16_t kind) {
    record.driveNumber = drive;
    record.cylinder = 0;
    record.head = 0;
    record.sector = 1;
    record.sectorCount = 1;
    record.kind = kind;
    record.relativeSector = 0;
    record.baseSector = 0;
}

void ListFloppies(Session& session) {
    for (std::uint32_t i = 0; i < session.disk.floppyCount && i < kFirstHardDisk; ++i) {
        TreeItemInfo* record = AppendRootRecord(session.items);
        if (record == nullptr) {
            session.screen.Notify("Drive Packet memory not enough");
            return;
        }
        SetDriveOrigin(*record, static_cast<std::uint16_t>(i), IK_VOLUME);
        InsertRootItem(session, "Floppy Disk " + std::to_string(i + 1), record, nullptr);
    }
}

void ListHardDisks(Session& session) {
    DiskAccess& disk = session.disk;
    for (std::uint32_t n = 0; n < kMaxHardDisks && ProbeHardDisk(session, n); ++n) {
        TreeItemInfo* record = AppendRootRecord(session.items);
        if (record == nullptr) {
            session.screen.Notify("Drive Packet memory not enough");
            return;
        }
        std::uint16_t drive = static_cast<std::uint16_t>(kFirstHardDisk + n);
        SetDriveOrigin(*record, drive, IK_HARD_DISK);
        record->int13Extensions =
            disk.diskAccessMode == DAM_DISK_LIBRARY ? disk.checkInt13Extension32(drive) : 0;
        ++disk.hardDiskCount;
        InsertRootItem(session, "Hard Disk " + std::to_string(n + 1), record,
                       &disk.lastHardDiskItem);
    }
}

void FreeBlock(Platform& platform, void* block) {
    if (block != nullptr) {
        platform.FreeMemory(block);
    }
}

}  // namespace

void InitDiskAccess(Session& session) {
    DiskAccess& disk = session.disk;
    Platform& platform = session.platform;
    disk.programDirectory = platform.GetProgramDirectory();
    if (!AllocatePools(session)) {
        return;
    }
    bool libraryPlatform = (platform.GetVersion() & kVersionDiskLibraryBit) != 0;
    disk.diskAccessMode = libraryPlatform ? DAM_DISK_LIBRARY : DAM_DEVICE_PATHS;
    if (disk.diskAccessMode == DAM_DEVICE_PATHS) {
        disk.floppyCount = CountRemovableDrives(platform);
    } else {
        if (!LoadDiskLibrary(session)) {
            return;
        }
        disk.floppyCount = AskVirtualDeviceForFloppies(session);
    }
    disk.diskAccessReady = true;
    EnumerateDisks(session);
}

void EnumerateDisks(Session& session) {
    ResetItemPools(session.items);
    session.screen.SetStatusText(kProgressPane, kWaitText);
    session.disk.hardDiskCount = 0;
    session.disk.lastHardDiskItem = kNoTreeItem;
    ListFloppies(session);
    ListHardDisks(session);
    session.screen.SetStatusText(kProgressPane, "");
}

void ReleaseDiskAccess(Session& session) {
    Platform& platform = session.platform;
    RightPaneState& pane = session.pane;
    FreeBlock(platform, pane.currentBuffer);
    pane.currentBuffer = nullptr;
    pane.currentBufferBytes = 0;
    session.items.rootPool.Release();
    session.items.itemPool.Release();
    FreeBlock(platform, pane.clusterChain);
    pane.clusterChain = nullptr;
    pane.chainLength = 0;
    DiskAccess& disk = session.disk;
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

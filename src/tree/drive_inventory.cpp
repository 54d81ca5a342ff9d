#include "tree/drive_inventory.h"

#include "screen/messages.h"

#include <string>

#include "disk/disk_setup.h"
#include "screen/texts.h"

namespace brovane {

namespace {

// Hard disks 0x80 to 0xFF: as many as drive numbers have room for.
constexpr std::uint32_t kMaxHardDisks = kDriveCount - kFirstHardDisk;

TreeItemHandle InsertRootItem(ScreenOperations& screen, const std::string& text,
                              TreeItemInfo* record) {
    return screen.InsertTreeItem(kTreeRoot, kInsertLast, text, true, record);
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

void ListFloppies(const PlatformDiskScreen& io, ItemStorage& items) {
    for (std::uint32_t i = 0; i < io.disk.floppyCount && i < kFirstHardDisk; ++i) {
        TreeItemInfo* record = AppendRootRecord(items);
        if (record == nullptr) {
            io.screen.Notify(kDrivePacketMemoryText);
            return;
        }
        SetDriveOrigin(*record, static_cast<std::uint16_t>(i), IK_VOLUME);
        InsertRootItem(io.screen, "Floppy Disk " + std::to_string(i + 1), record);
    }
}

void ListHardDisks(const PlatformDiskScreen& io, ItemStorage& items) {
    DiskAccess& disk = io.disk;
    for (std::uint32_t n = 0; n < kMaxHardDisks && ProbeHardDisk(io, n); ++n) {
        TreeItemInfo* record = AppendRootRecord(items);
        if (record == nullptr) {
            io.screen.Notify(kDrivePacketMemoryText);
            return;
        }
        auto drive = static_cast<std::uint16_t>(kFirstHardDisk + n);
        SetDriveOrigin(*record, drive, IK_HARD_DISK);
        record->int13Extensions =
            disk.diskAccessMode == DAM_DISK_LIBRARY ? disk.checkInt13Extension32(drive) : 0;
        ++disk.hardDiskCount;
        disk.lastHardDiskItem =
            InsertRootItem(io.screen, "Hard Disk " + std::to_string(n + 1), record);
    }
}

}  // namespace

bool AllocateItemPools(ItemStorage& items, ScreenOperations& screen) {
    if (!items.rootPool.Allocate()) {
        screen.Notify(kDrivePacketMemoryText);
        return false;
    }
    if (!items.itemPool.Allocate()) {
        screen.Notify(kPacketsMemoryText);
        items.rootPool.Release();
        return false;
    }
    return true;
}

void EnumerateDisks(const PlatformDiskScreen& io, ItemStorage& items) {
    ResetItemPools(items);
    io.screen.SetStatusText(kProgressPane, kWaitText);
    io.disk.hardDiskCount = 0;
    io.disk.lastHardDiskItem = kNoTreeItem;
    ListFloppies(io, items);
    ListHardDisks(io, items);
    io.screen.SetStatusText(kProgressPane, "");
}

}  // namespace brovane

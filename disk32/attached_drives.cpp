#include "disk32/attached_drives.h"

#include <array>
#include <string>
#include <vector>

#include "platform/disk_units.h"

namespace brovane::disk32 {

namespace {

void CloseAll(std::vector<AttachedDrive>& drives) {
    for (AttachedDrive& drive : drives) {
        ClosePosixDevice(drive.device);
    }
    drives.clear();
}

// Owns the open drives: closed when detached, re-attached, or when the
// library is unloaded.
struct DriveTable {
    DriveTable() = default;
    DriveTable(const DriveTable&) = delete;
    DriveTable& operator=(const DriveTable&) = delete;
    ~DriveTable() {
        CloseAll(floppies);
        CloseAll(hardDisks);
    }
    std::vector<AttachedDrive> floppies;
    std::vector<AttachedDrive> hardDisks;
};

DriveTable& Table() {
    static DriveTable table;
    return table;
}

std::uint64_t SectorCountOf(const PosixDevice& device) {
    return PosixDeviceBytes(device.bufferedFd) / kSectorBytes;
}

// A drive that failed to open stays in the table, so the drives after it
// keep their numbers; its transfers fail.
AttachedDrive OpenDrive(const char* path, bool hardDisk) {
    AttachedDrive drive{};
    if (path == nullptr || OpenPosixDevice(path, drive.device) != 0) {
        drive.device = PosixDevice{};
    }
    drive.sectorCount = SectorCountOf(drive.device);
    drive.geometry = hardDisk ? HardDiskGeometry() : FloppyGeometry(drive.sectorCount);
    return drive;
}

void OpenDrives(std::vector<AttachedDrive>& drives, const char* const* paths, std::uint32_t count,
                bool hardDisk) {
    for (std::uint32_t i = 0; paths != nullptr && i < count; ++i) {
        drives.push_back(OpenDrive(paths[i], hardDisk));
    }
}

}  // namespace

void AttachDrives(const BrovaneDeviceTable& table) {
    // Closed first: an exclusive claim still held would make the reopening read-only.
    DetachDrives();
    OpenDrives(Table().floppies, table.floppies, table.floppyCount, false);
    OpenDrives(Table().hardDisks, table.hardDisks, table.hardDiskCount, true);
}

void DetachDrives() {
    CloseAll(Table().floppies);
    CloseAll(Table().hardDisks);
}

DriveGeometry FloppyGeometry(std::uint64_t sectorCount) {
    struct Format {
        std::uint64_t sectors;
        DriveGeometry geometry;
    };
    constexpr std::array kFormats{
        Format{720, {2, 9}},   Format{1440, {2, 9}},  Format{2400, {2, 15}},
        Format{2880, {2, 18}}, Format{5760, {2, 36}}, Format{640, {2, 8}},
    };
    for (const Format& format : kFormats) {
        if (format.sectors == sectorCount) {
            return format.geometry;
        }
    }
    return {2, 18};
}

DriveGeometry HardDiskGeometry() {
    return {255, 63};
}

const AttachedDrive* FindDrive(std::uint32_t drive) {
    const DriveTable& table = Table();
    bool hardDisk = drive >= kFirstHardDisk;
    const std::vector<AttachedDrive>& drives = hardDisk ? table.hardDisks : table.floppies;
    std::uint32_t index = hardDisk ? drive - kFirstHardDisk : drive;
    return index < drives.size() ? &drives[index] : nullptr;
}

}  // namespace brovane::disk32

#include "disk32/attached_drives.h"

#include <sys/stat.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <vector>

namespace brovane::disk32 {

namespace {

constexpr std::uint32_t kFirstHardDisk = 0x80;

struct DriveTable {
    std::vector<AttachedDrive> floppies;
    std::vector<AttachedDrive> hardDisks;
};

DriveTable& Table() {
    static DriveTable table;
    return table;
}

std::uint64_t SectorCountOf(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::uint64_t bytes = 0;
    struct stat info {};
    if (::fstat(fd, &info) == 0) {
        if (S_ISBLK(info.st_mode)) {
            ::ioctl(fd, BLKGETSIZE64, &bytes);
        } else {
            bytes = static_cast<std::uint64_t>(info.st_size);
        }
    }
    ::close(fd);
    return bytes / 512;
}

std::vector<AttachedDrive> Drives(const char* const* paths, std::uint32_t count, bool hardDisk) {
    std::vector<AttachedDrive> drives;
    for (std::uint32_t i = 0; paths != nullptr && i < count; ++i) {
        std::string path = paths[i] == nullptr ? "" : paths[i];
        std::uint64_t sectors = SectorCountOf(path);
        DriveGeometry geometry = hardDisk ? HardDiskGeometry() : FloppyGeometry(sectors);
        drives.push_back(AttachedDrive{std::move(path), sectors, geometry});
    }
    return drives;
}

}  // namespace

void AttachDrives(const BrovaneDeviceTable& table) {
    Table().floppies = Drives(table.floppies, table.floppyCount, false);
    Table().hardDisks = Drives(table.hardDisks, table.hardDiskCount, true);
}

std::uint32_t AttachedFloppyCount() {
    return static_cast<std::uint32_t>(Table().floppies.size());
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

std::optional<AttachedDrive> FindDrive(std::uint32_t drive) {
    const DriveTable& table = Table();
    bool hardDisk = drive >= kFirstHardDisk;
    const std::vector<AttachedDrive>& drives = hardDisk ? table.hardDisks : table.floppies;
    std::uint32_t index = hardDisk ? drive - kFirstHardDisk : drive;
    if (index >= drives.size()) {
        return std::nullopt;
    }
    return drives[index];
}

}  // namespace brovane::disk32

extern "C" __attribute__((visibility("default"))) void BrovaneAttachDevices(
    const BrovaneDeviceTable* table) {
    if (table != nullptr) {
        brovane::disk32::AttachDrives(*table);
    }
}

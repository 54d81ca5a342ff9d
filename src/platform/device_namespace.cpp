#include "platform/device_namespace.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "platform/device_name.h"
#include "platform/disk_units.h"

namespace brovane {

namespace {

// Block devices that are no disk of the machine: loop and RAM disks,
// device-mapper and software RAID volumes, optical and floppy drives.
constexpr std::array<std::string_view, 7> kSkippedPrefixes = {"loop", "ram", "zram", "dm-",
                                                              "md",   "sr",  "fd"};

bool IsWholeDisk(std::string_view name) {
    return std::none_of(kSkippedPrefixes.begin(), kSkippedPrefixes.end(),
                        [name](std::string_view prefix) { return name.starts_with(prefix); });
}

std::string DevicePath(const std::string& devRoot, const std::string& name) {
    return (std::filesystem::path(devRoot) / name).string();
}

std::vector<const char*> PointersInto(const std::vector<std::string>& paths) {
    std::vector<const char*> pointers;
    for (const auto& path : paths) {
        pointers.push_back(path.c_str());
    }
    return pointers;
}

}  // namespace

std::vector<std::string> ListWholeDisks(const std::string& sysBlockRoot,
                                        const std::string& devRoot) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(sysBlockRoot, error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (IsWholeDisk(name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    for (const auto& name : names) {
        paths.push_back(DevicePath(devRoot, name));
    }
    return paths;
}

std::vector<std::string> ListFloppyDevices(const std::string& devRoot) {
    std::vector<std::string> paths;
    for (const char* name : {"fd0", "fd1"}) {
        std::error_code error;
        const std::string path = DevicePath(devRoot, name);
        if (std::filesystem::exists(path, error)) {
            paths.push_back(path);
        }
    }
    return paths;
}

DeviceNamespace::DeviceNamespace(const PlatformOptions& options, const std::string& sysBlockRoot,
                                 const std::string& devRoot)
    : hardDisks_(options.explicitDevices() ? options.disks : ListWholeDisks(sysBlockRoot, devRoot)),
      floppies_(options.explicitDevices() ? options.floppies : ListFloppyDevices(devRoot)),
      hardDiskPointers_(PointersInto(hardDisks_)),
      floppyPointers_(PointersInto(floppies_)) {
    table_.hardDiskCount = static_cast<std::uint32_t>(hardDisks_.size());
    table_.hardDisks = hardDiskPointers_.data();
    table_.floppyCount = static_cast<std::uint32_t>(floppies_.size());
    table_.floppies = floppyPointers_.data();
}

const std::string* DeviceNamespace::Resolve(std::string_view name) const {
    const auto parsed = ParseDeviceName(name);
    if (!parsed) {
        return nullptr;
    }
    const auto& paths = parsed->kind == DeviceKind::kHardDisk ? hardDisks_ : floppies_;
    return parsed->index < paths.size() ? &paths[parsed->index] : nullptr;
}

const std::string* DeviceNamespace::PathOfDrive(std::uint16_t driveNumber) const {
    const bool hardDisk = driveNumber >= kFirstHardDisk;
    const auto& paths = hardDisk ? hardDisks_ : floppies_;
    const std::size_t index = hardDisk ? driveNumber - kFirstHardDisk : driveNumber;
    return index < paths.size() ? &paths[index] : nullptr;
}

}  // namespace brovane

// Where the device namespace's names lead on this machine: the paths of hard
// disks 0, 1, ... and of floppy drives A:, B:, ...
//
// With --disk/--floppy options those paths, in order. Without either, hard
// disks are the whole-disk block devices listed in the sysfs block folder
// (virtual and optical kinds left out), in name order, and floppies the
// floppy device nodes that exist. Both roots can be moved for tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_table.h"
#include "platform/platform_options.h"

namespace brovane {

class DeviceNamespace {
  public:
    DeviceNamespace(const PlatformOptions& options, const std::string& sysBlockRoot,
                    const std::string& devRoot);
    // The device table points into this object, so it stays where it is.
    DeviceNamespace(const DeviceNamespace&) = delete;
    DeviceNamespace& operator=(const DeviceNamespace&) = delete;

    // The path a namespace name stands for; nullptr past the last drive.
    const std::string* Resolve(std::string_view name) const;
    // The path of a drive number (floppy i is i, hard disk n is
    // kFirstHardDisk + n); nullptr past the last drive.
    const std::string* PathOfDrive(std::uint16_t driveNumber) const;

    const std::vector<std::string>& HardDisks() const { return hardDisks_; }
    const std::vector<std::string>& Floppies() const { return floppies_; }
    // The same paths for the shared objects that serve the drives.
    const BrovaneDeviceTable& Table() const { return table_; }

  private:
    std::vector<std::string> hardDisks_;
    std::vector<std::string> floppies_;
    std::vector<const char*> hardDiskPointers_;
    std::vector<const char*> floppyPointers_;
    BrovaneDeviceTable table_{};
};

// devRoot/NAME for each whole-disk block device NAME in sysBlockRoot, in name order.
std::vector<std::string> ListWholeDisks(const std::string& sysBlockRoot,
                                        const std::string& devRoot);
// devRoot/fd0 and devRoot/fd1, those that exist.
std::vector<std::string> ListFloppyDevices(const std::string& devRoot);

}  // namespace brovane

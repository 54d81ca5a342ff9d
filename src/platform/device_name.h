// Names of the device namespace: "\\.\PHYSICALDRIVEn" is hard disk n (any
// number of digits), "\\.\X:" the removable drive with letter X.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brovane {

enum class DeviceKind { kHardDisk, kFloppy };

struct DeviceName {
    DeviceKind kind;
    std::size_t index;  // hard disk number, or letter position (A = 0)
};

// The prefix every namespace name and the virtual device's name begin with.
inline constexpr std::string_view kDeviceNamespacePrefix = "\\\\.\\";

std::optional<DeviceName> ParseDeviceName(std::string_view name);
// "X:" with a letter in either case; the letter's position (A = 0).
std::optional<std::size_t> ParseDriveLetter(std::string_view drive);

// The namespace name of hard disk n and of the drive with letter position i (below 26).
std::string HardDiskDeviceName(std::size_t number);
std::string FloppyDeviceName(std::size_t letterIndex);

}  // namespace brovane

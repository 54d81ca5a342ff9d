#include "platform/device_name.h"

#include <limits>

namespace brovane {

namespace {

constexpr std::string_view kHardDiskStem = "PHYSICALDRIVE";

// A plain decimal number without sign; nothing when it does not fit.
std::optional<std::size_t> ParseNumber(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const std::size_t digit = static_cast<std::size_t>(c - '0');
        if (value > (std::numeric_limits<std::size_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::optional<std::size_t> ParseDriveLetter(std::string_view drive) {
    if (drive.size() != 2 || drive[1] != ':') {
        return std::nullopt;
    }
    const char letter = drive[0];
    if (letter >= 'A' && letter <= 'Z') {
        return static_cast<std::size_t>(letter - 'A');
    }
    if (letter >= 'a' && letter <= 'z') {
        return static_cast<std::size_t>(letter - 'a');
    }
    return std::nullopt;
}

std::optional<DeviceName> ParseDeviceName(std::string_view name) {
    if (!name.starts_with(kDeviceNamespacePrefix)) {
        return std::nullopt;
    }
    const std::string_view rest = name.substr(kDeviceNamespacePrefix.size());
    if (rest.starts_with(kHardDiskStem)) {
        const auto number = ParseNumber(rest.substr(kHardDiskStem.size()));
        return number ? std::optional(DeviceName{DeviceKind::kHardDisk, *number}) : std::nullopt;
    }
    const auto letter = ParseDriveLetter(rest);
    return letter ? std::optional(DeviceName{DeviceKind::kFloppy, *letter}) : std::nullopt;
}

std::string HardDiskDeviceName(std::size_t number) {
    return std::string(kDeviceNamespacePrefix) + std::string(kHardDiskStem) +
           std::to_string(number);
}

std::string FloppyDeviceName(std::size_t letterIndex) {
    const char letter = static_cast<char>('A' + letterIndex);
    return std::string(kDeviceNamespacePrefix) + letter + ':';
}

}  // namespace brovane

// A small shared object standing in for a disk library and a virtual device,
// so the tests can watch what the platform hands them. It keeps the device
// table it was attached to; ReadDisk32 writes its integer arguments into the
// buffer. Built a second time without the virtual device's entry.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "disk32/device_table.h"

namespace {

struct AttachedDevices {
    std::vector<std::string> hardDisks;
    std::vector<std::string> floppies;
};

// The state of a loaded fixture lives as long as the object is loaded.
AttachedDevices& Attached() {
    static AttachedDevices attached;
    return attached;
}

std::vector<std::string> CopyPaths(const char* const* paths, std::uint32_t count) {
    return std::vector<std::string>(paths, paths + count);
}

const char* PathOrNull(const std::vector<std::string>& paths, std::uint32_t index) {
    return index < paths.size() ? paths[index].c_str() : nullptr;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void BrovaneAttachDevices(
    const struct BrovaneDeviceTable* table) {
    Attached().hardDisks = CopyPaths(table->hardDisks, table->hardDiskCount);
    Attached().floppies = CopyPaths(table->floppies, table->floppyCount);
}

__attribute__((visibility("default"))) std::uint32_t ReadDisk32(
    std::uint32_t drive, std::uint32_t cylinder, std::uint32_t head, std::uint32_t sector,
    std::uint32_t count, std::uint8_t* buffer, std::uint32_t lba, std::uint32_t ext) {
    const std::uint32_t arguments[] = {drive, cylinder, head, sector, count, lba, ext};
    std::memcpy(buffer, arguments, sizeof(arguments));
    return 1;
}

__attribute__((visibility("default"))) std::uint32_t CheckInt13Extension32(std::uint32_t drive) {
    return drive + 0x100;
}

__attribute__((visibility("default"))) const char* FixtureHardDisk(std::uint32_t index) {
    return PathOrNull(Attached().hardDisks, index);
}

__attribute__((visibility("default"))) const char* FixtureFloppy(std::uint32_t index) {
    return PathOrNull(Attached().floppies, index);
}

#ifndef FIXTURE_WITHOUT_CONTROL
// Control code 1 answers the attached floppy count in 4 bytes.
__attribute__((visibility("default"))) std::int32_t BrovaneVxdControl(
    std::uint32_t code, void* output, std::uint32_t outputSize, std::uint32_t* bytesReturned) {
    const auto floppies = static_cast<std::uint32_t>(Attached().floppies.size());
    if (code != 1 || outputSize < sizeof(floppies)) {
        return 0;
    }
    std::memcpy(output, &floppies, sizeof(floppies));
    *bytesReturned = sizeof(floppies);
    return 1;
}
#endif
}

// The virtual device: control code 1 answers the number of floppy drives
// the platform attached, as four little-endian bytes. It needs no more of
// the drives than their number, so it opens none of them.
#include <cstdint>

#include "platform/device_table.h"

namespace {

std::uint32_t& FloppyCount() {
    static std::uint32_t count = 0;
    return count;
}

}  // namespace

#define DISK_VXD_EXPORT extern "C" __attribute__((visibility("default")))

DISK_VXD_EXPORT void BrovaneAttachDevices(const BrovaneDeviceTable* table) {
    if (table != nullptr) {
        FloppyCount() = table->floppies != nullptr ? table->floppyCount : 0;
    }
}

DISK_VXD_EXPORT std::int32_t BrovaneVxdControl(std::uint32_t code, void* output,
                                               std::uint32_t outputSize,
                                               std::uint32_t* bytesReturned) {
    constexpr std::uint32_t kFloppyCountCode = 1;
    if (code != kFloppyCountCode || output == nullptr || outputSize < 4) {
        return 0;
    }
    std::uint32_t count = FloppyCount();
    auto* bytes = static_cast<std::uint8_t*>(output);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    if (bytesReturned != nullptr) {
        *bytesReturned = 4;
    }
    return 1;
}

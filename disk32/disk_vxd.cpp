// The virtual device: control code 1 answers the number of floppy drives
// as four little-endian bytes.
#include <cstdint>

#include "disk32/attached_drives.h"

extern "C" __attribute__((visibility("default"))) std::int32_t BrovaneVxdControl(
    std::uint32_t code, void* output, std::uint32_t outputSize, std::uint32_t* bytesReturned) {
    constexpr std::uint32_t kFloppyCountCode = 1;
    if (code != kFloppyCountCode || output == nullptr || outputSize < 4) {
        return 0;
    }
    std::uint32_t count = brovane::disk32::AttachedFloppyCount();
    auto* bytes = static_cast<std::uint8_t*>(output);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    if (bytesReturned != nullptr) {
        *bytesReturned = 4;
    }
    return 1;
}

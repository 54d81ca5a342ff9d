// Data blocks from the platform's zero-filled allocation, sized from disk
// fields in 64 bits. A size that is zero, overflows, or is larger than any
// structure of a FAT volume can be is refused like a failed allocation.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace brovane {

// The largest block handed out: a FAT of 2^28 entries of 4 bytes.
inline constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << 30;

std::uint8_t* AllocateSectors(Platform& platform, std::uint64_t sectors);

// A block that lives for one operation and is released however it ends.
class ScopedSectors {
  public:
    ScopedSectors(Platform& platform, std::uint64_t sectors)
        : platform_(platform), data_(AllocateSectors(platform, sectors)) {}
    ~ScopedSectors() {
        if (data_ != nullptr) {
            platform_.FreeMemory(data_);
        }
    }
    ScopedSectors(const ScopedSectors&) = delete;
    ScopedSectors& operator=(const ScopedSectors&) = delete;
    std::uint8_t* get() const { return data_; }

  private:
    Platform& platform_;
    std::uint8_t* data_;
};

}  // namespace brovane

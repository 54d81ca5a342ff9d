// One block of the platform's zero-filled memory, owned: movable, not
// copyable, freed exactly once through the platform that gave it. An empty
// handle holds no block; a block of 0 bytes is a valid empty block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "platform/platform.h"

namespace brovane {

class PlatformBlock {
  public:
    PlatformBlock() = default;
    // Takes ownership of a block the platform allocated (nullptr: empty).
    PlatformBlock(Platform& platform, void* block, std::size_t bytes)
        : platform_(block != nullptr ? &platform : nullptr),
          data_(static_cast<std::uint8_t*>(block)),
          size_(block != nullptr ? bytes : 0) {}
    PlatformBlock(PlatformBlock&& other) noexcept { Swap(other); }
    PlatformBlock& operator=(PlatformBlock&& other) noexcept {
        PlatformBlock taken(std::move(other));
        Swap(taken);
        return *this;
    }
    PlatformBlock(const PlatformBlock&) = delete;
    PlatformBlock& operator=(const PlatformBlock&) = delete;
    ~PlatformBlock() { Release(); }

    // Zero-filled bytes; an empty handle when the platform has none to give.
    static PlatformBlock Allocate(Platform& platform, std::size_t bytes) {
        return PlatformBlock(platform, platform.AllocateZeroed(bytes), bytes);
    }

    void Release() {
        if (data_ != nullptr) {
            platform_->FreeMemory(data_);
        }
        platform_ = nullptr;
        data_ = nullptr;
        size_ = 0;
    }

    explicit operator bool() const { return data_ != nullptr; }
    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::span<std::uint8_t> bytes() const { return {data_, size_}; }

  private:
    void Swap(PlatformBlock& other) noexcept {
        std::swap(platform_, other.platform_);
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
    }

    Platform* platform_ = nullptr;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace brovane

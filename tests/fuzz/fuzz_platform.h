// The fuzz targets' platform: the in-memory test double with memory that is
// cheap to take and give back, so that a run that starts the program on a
// small disk costs about a millisecond under the sanitizers, and the helper
// that puts an input on one of its disks.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "present/directory_row_store.h"
#include "support/memory_platform.h"

namespace brovane::fuzz {

inline constexpr std::size_t kSectorBytes = 512;
// Blocks this large are the record pools the core takes at start-up.
inline constexpr std::size_t kKeptBlockBytes = std::size_t{1} << 20;

// Stops the fuzzer (or the replay) on a broken invariant.
inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Large blocks freed in one run and handed out again, zeroed, in the next.
class KeptBlocks {
  public:
    KeptBlocks() = default;
    KeptBlocks(const KeptBlocks&) = delete;
    KeptBlocks& operator=(const KeptBlocks&) = delete;
    ~KeptBlocks() {
        for (const auto& [bytes, block] : blocks_) {
            std::free(block);
        }
    }

    void* Take(std::size_t bytes) {
        auto found = blocks_.find(bytes);
        if (found == blocks_.end()) {
            return nullptr;
        }
        void* block = found->second;
        blocks_.erase(found);
        return Zero(static_cast<std::uint8_t*>(block), bytes);
    }
    void Keep(void* block, std::size_t bytes) { blocks_.emplace(bytes, block); }

  private:
    // The whole pages inside the block are handed back to the system, which
    // maps zeros on the next touch: only the few pages a run used cost
    // anything, not a memset of megabytes. The partial pages at the ends
    // are cleared by hand.
    static void* Zero(std::uint8_t* block, std::size_t bytes) {
        const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block);
        const std::uintptr_t first = (start + page - 1) / page * page;
        const std::uintptr_t last = (start + bytes) / page * page;
        if (first >= last ||
            madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED) != 0) {
            return std::memset(block, 0, bytes);
        }
        std::memset(block, 0, first - start);
        std::memset(block + (last - start), 0, start + bytes - last);
        return block;
    }

    std::multimap<std::size_t, void*> blocks_;
};

// Blocks come from calloc, each of its exact size, so that AddressSanitizer
// sees a read one byte past a block. Two exceptions keep a run cheap:
// - the record pools are kept for the next run instead of mapped, faulted
//   in and poisoned afresh twice a run;
// - once started, the platform refuses blocks larger than largestBlock
//   (the targets set it to the disk's size: nothing read from the disk
//   needs more), so a boot record that claims huge FATs costs no megabytes
//   a run. The one block larger than the data it holds, a directory
//   listing's row store, is allowed for a directory as large as the disk.
class FuzzPlatform final : public MemoryPlatform {
  public:
    explicit FuzzPlatform(KeptBlocks& kept) : kept_(kept) {}

    std::size_t largestBlock = SIZE_MAX;

    void* AllocateZeroed(std::size_t bytes) override {
        if (bytes > largestBlock && !IsRowStore(bytes)) {
            return nullptr;
        }
        if (bytes < kKeptBlockBytes) {
            return std::calloc(bytes, 1);
        }
        void* block = kept_.Take(bytes);
        block = block != nullptr ? block : std::calloc(bytes, 1);
        if (block != nullptr) {
            large_.emplace(block, bytes);
        }
        return block;
    }

    void FreeMemory(void* block) override {
        auto found = large_.find(block);
        if (found == large_.end()) {
            std::free(block);
            return;
        }
        kept_.Keep(block, found->second);
        large_.erase(found);
    }

  private:
    // A row store's size (room for a whole number of sectors, in proportion
    // to them) for a directory of at most largestBlock bytes.
    bool IsRowStore(std::size_t bytes) const {
        const std::uint64_t perSector = DirectoryRowStoreBytes(1);
        return bytes % perSector == 0 && bytes / perSector <= largestBlock / kSectorBytes;
    }

    KeptBlocks& kept_;
    std::map<void*, std::size_t> large_;  // the large blocks handed out
};

// Sectors needed to hold size bytes; at least one.
inline std::size_t SectorsFor(std::size_t size) {
    return std::max<std::size_t>(1, (size + kSectorBytes - 1) / kSectorBytes);
}

// Writes the bytes to the disk from firstSector on. Sectors that hold only
// zeros are left out: the disk reads them as zeros.
inline void FillDisk(MemoryDisk& disk, std::uint64_t firstSector, const std::uint8_t* data,
                     std::size_t size) {
    static constexpr std::array<std::uint8_t, kSectorBytes> kZeros{};
    std::vector<std::uint8_t> sector(kSectorBytes);
    for (std::size_t offset = 0; offset < size; offset += kSectorBytes) {
        const std::size_t length = std::min(kSectorBytes, size - offset);
        if (std::memcmp(data + offset, kZeros.data(), length) != 0) {
            std::fill(std::copy(data + offset, data + offset + length, sector.begin()),
                      sector.end(), std::uint8_t{0});
            PokeBytes(disk, firstSector * kSectorBytes + offset, sector);
        }
    }
}

}  // namespace brovane::fuzz

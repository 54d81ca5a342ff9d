// libFuzzer target: the input is the start of a hard disk and of a floppy,
// each exactly as large as the input (rounded up to whole sectors), walked as
// a user would in both access modes: items expanded and selected in each
// dumping mode, and the first and last rows of each view drawn.
//
// A run costs about a millisecond under the sanitizers: the disks are small,
// the walk has a budget of items and rows, and the platform's memory is
// cheap (see FuzzPlatform).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "support/memory_platform.h"

namespace {

using brovane::TextScreen;
using brovane::TreeItemHandle;

constexpr std::size_t kSectorBytes = 512;
// A path through the tree: drive, extended tables, volume, its children.
constexpr int kMaxDepth = 6;
constexpr int kMaxItems = 32;
// Rows drawn at each end of a view: the start and the end of its data.
constexpr int kRowsAtEachEnd = 4;
// Blocks this large are the record pools the core takes at start-up.
constexpr std::size_t kKeptBlockBytes = std::size_t{1} << 20;

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
// - once started, the platform refuses blocks larger than the disks: nothing
//   on them needs more, and a boot record that claims huge FATs then costs
//   no megabytes a run.
class FuzzPlatform final : public brovane::MemoryPlatform {
  public:
    explicit FuzzPlatform(KeptBlocks& kept) : kept_(kept) {}

    std::size_t largestBlock = SIZE_MAX;

    void* AllocateZeroed(std::size_t bytes) override {
        if (bytes > largestBlock) {
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
    KeptBlocks& kept_;
    std::map<void*, std::size_t> large_;  // the large blocks handed out
};

void DrawRow(TextScreen& screen, int row) {
    for (int column = 0; column < screen.GetListColumnCount(); ++column) {
        screen.CellText(row, column);
    }
}

void DrawEnds(TextScreen& screen) {
    const int rows = screen.GetListItemCount();
    for (int row = 0; row < rows && row < kRowsAtEachEnd; ++row) {
        DrawRow(screen, row);
    }
    for (int row = std::max(kRowsAtEachEnd, rows - kRowsAtEachEnd); row < rows; ++row) {
        DrawRow(screen, row);
    }
}

// Selects the item once in each dumping mode; the selection is cleared in
// between so that each one is a change.
void SelectInEachMode(TextScreen& screen, TreeItemHandle item) {
    constexpr bool kModes[][2] = {{false, false}, {true, false}, {false, true}};
    for (const auto& [sector, raw] : kModes) {
        screen.SelectTreeItem(brovane::kNoTreeItem);
        screen.SetMenuChecked(brovane::CMD_SECTOR_DUMPING, sector);
        screen.SetMenuChecked(brovane::CMD_RAW_DUMPING, raw);
        screen.SelectTreeItem(item);
        DrawEnds(screen);
    }
    screen.SetMenuChecked(brovane::CMD_SECTOR_DUMPING, false);
    screen.SetMenuChecked(brovane::CMD_RAW_DUMPING, false);
}

void WalkBelow(TextScreen& screen, TreeItemHandle parent, int depth, int& budget) {
    for (TreeItemHandle item : screen.Children(parent)) {
        if (--budget < 0) {
            return;
        }
        SelectInEachMode(screen, item);
        if (depth > 0 && screen.Expand(item)) {
            WalkBelow(screen, item, depth - 1, budget);
        }
    }
}

// One start of the program on the disks, walked until the budget is spent.
void WalkSession(FuzzPlatform& platform, std::size_t diskBytes, bool diskLibrary) {
    platform.settings.diskLibrary = diskLibrary;
    platform.largestBlock = SIZE_MAX;
    TextScreen screen;
    brovane::Session session(platform, screen);
    screen.SetEvents(&session);
    brovane::InitDiskAccess(session);
    platform.largestBlock = diskBytes;
    int budget = kMaxItems;
    WalkBelow(screen, brovane::kTreeRoot, kMaxDepth, budget);
    brovane::ReleaseDiskAccess(session);
}

// Sectors that hold only zeros are left out: the disks read them as zeros.
void WriteSectors(brovane::MemoryDisk& disk, const std::uint8_t* data, std::size_t size) {
    static constexpr std::uint8_t kZeros[kSectorBytes] = {};
    std::vector<std::uint8_t> sector(kSectorBytes);
    for (std::size_t offset = 0; offset < size; offset += kSectorBytes) {
        const std::size_t length = std::min(kSectorBytes, size - offset);
        if (std::memcmp(data + offset, kZeros, length) != 0) {
            std::fill(std::copy(data + offset, data + offset + length, sector.begin()),
                      sector.end(), std::uint8_t{0});
            brovane::PokeBytes(disk, offset, sector);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static KeptBlocks kept;  // lives as long as the fuzzing process
    FuzzPlatform platform(kept);
    const std::size_t sectors = std::max<std::size_t>(1, (size + kSectorBytes - 1) / kSectorBytes);
    for (unsigned drive : {platform.AddHardDisk(sectors), platform.AddFloppy(sectors)}) {
        WriteSectors(*platform.FindDisk(drive), data, size);
    }
    for (bool diskLibrary : {false, true}) {
        WalkSession(platform, sectors * kSectorBytes, diskLibrary);
    }
    return 0;
}

// Storage for the records of the tree items.
//
// Two pools: one for the root items (floppies, then hard disks) and one for
// every other item. A pool is a list of blocks from the platform's zero-filled
// allocation; records are appended in creation order, a directory entry's name
// stored right behind its record. A pool grows by another block when the
// current one is full, so a record never moves: its address stays valid for
// the life of its tree item. Resetting empties a pool at once and keeps its
// blocks for reuse; every record handed out is cleared to zero first.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_block.h"
#include "tree/tree_item_info.h"

namespace brovane {

class RecordPool {
  public:
    RecordPool(Platform& platform, std::size_t blockBytes);
    ~RecordPool();
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    // Allocates the first block; false when the memory cannot be had.
    bool Allocate();
    bool IsAllocated() const { return !blocks_.empty(); }
    void Release();
    void Reset();

    // The next free record, cleared to zero, or nullptr when the pool is not
    // allocated or cannot grow.
    TreeItemInfo* AppendRecord() { return Append({}, false); }
    // The same with the name stored behind the record (NUL-terminated) and
    // nameText pointing at it.
    TreeItemInfo* AppendNamedRecord(std::string_view name) { return Append(name, true); }

    // Bytes in use, counted over every block (for tests and figures).
    std::size_t UsedBytes() const;

  private:
    TreeItemInfo* Append(std::string_view name, bool named);
    bool MoveToNextBlock(std::size_t needed);

    Platform& platform_;
    std::size_t blockBytes_;
    std::vector<PlatformBlock> blocks_;
    std::size_t block_ = 0;   // block being filled
    std::size_t offset_ = 0;  // next free byte in it
};

// The root pool has room for 10 records, the item pool 2 MiB, before either grows.
inline constexpr std::size_t kRootPoolBytes = 10 * sizeof(TreeItemInfo);
inline constexpr std::size_t kItemPoolBytes = 2097152;

struct ItemStorage {
    explicit ItemStorage(Platform& platform)
        : rootPool(platform, kRootPoolBytes), itemPool(platform, kItemPoolBytes) {}
    RecordPool rootPool;
    RecordPool itemPool;
};

// Makes both pools empty again.
void ResetItemPools(ItemStorage& storage);
// The next free record of the item pool, cleared to zero.
TreeItemInfo* AppendItemRecord(ItemStorage& storage);
// The same for a directory entry, whose name is stored behind the record.
TreeItemInfo* AppendNamedItemRecord(ItemStorage& storage, std::string_view name);
// The next free record of the root pool, cleared to zero.
TreeItemInfo* AppendRootRecord(ItemStorage& storage);

}  // namespace brovane

#include "tree/item_storage.h"

#include <cstring>

namespace brovane {

namespace {

// Records are kept aligned, so the next record starts at the next multiple of this.
constexpr std::size_t kRecordAlign = alignof(TreeItemInfo);

std::size_t AlignUp(std::size_t value) {
    return (value + kRecordAlign - 1) / kRecordAlign * kRecordAlign;
}

}  // namespace

RecordPool::RecordPool(Platform& platform, std::size_t blockBytes)
    : platform_(platform), blockBytes_(blockBytes) {}

RecordPool::~RecordPool() {
    Release();
}

bool RecordPool::Allocate() {
    if (IsAllocated()) {
        return true;
    }
    PlatformBlock block = PlatformBlock::Allocate(platform_, blockBytes_);
    if (!block) {
        return false;
    }
    blocks_.push_back(std::move(block));
    Reset();
    return true;
}

void RecordPool::Release() {
    blocks_.clear();
    Reset();
}

void RecordPool::Reset() {
    block_ = 0;
    offset_ = 0;
}

std::size_t RecordPool::UsedBytes() const {
    std::size_t used = offset_;
    for (std::size_t i = 0; i < block_ && i < blocks_.size(); ++i) {
        used += blocks_[i].size();
    }
    return used;
}

bool RecordPool::MoveToNextBlock(std::size_t needed) {
    // A later block kept from before a reset is reused when it is big enough.
    std::size_t next = block_ + 1;
    if (next < blocks_.size() && blocks_[next].size() >= needed) {
        block_ = next;
        offset_ = 0;
        return true;
    }
    std::size_t bytes = needed > blockBytes_ ? needed : blockBytes_;
    PlatformBlock block = PlatformBlock::Allocate(platform_, bytes);
    if (!block) {
        return false;
    }
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(next), std::move(block));
    block_ = next;
    offset_ = 0;
    return true;
}

TreeItemInfo* RecordPool::Append(std::string_view name, bool named) {
    if (!IsAllocated()) {
        return nullptr;
    }
    std::size_t needed = sizeof(TreeItemInfo) + (named ? name.size() + 1 : 0);
    if (blocks_[block_].size() - offset_ < needed && !MoveToNextBlock(needed)) {
        return nullptr;
    }
    auto* place = reinterpret_cast<std::byte*>(blocks_[block_].data()) + offset_;
    std::memset(place, 0, needed);
    auto* record = new (place) TreeItemInfo{};
    if (named) {
        char* text = reinterpret_cast<char*>(place + sizeof(TreeItemInfo));
        std::memcpy(text, name.data(), name.size());
        record->nameText = text;
    }
    offset_ = AlignUp(offset_ + needed);
    if (offset_ > blocks_[block_].size()) {
        offset_ = blocks_[block_].size();
    }
    return record;
}

void ResetItemPools(ItemStorage& storage) {
    storage.rootPool.Reset();
    storage.itemPool.Reset();
}

TreeItemInfo* AppendItemRecord(ItemStorage& storage) {
    return storage.itemPool.AppendRecord();
}

TreeItemInfo* AppendNamedItemRecord(ItemStorage& storage, std::string_view name) {
    return storage.itemPool.AppendNamedRecord(name);
}

TreeItemInfo* AppendRootRecord(ItemStorage& storage) {
    return storage.rootPool.AppendRecord();
}

}  // namespace brovane

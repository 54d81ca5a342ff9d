#include "imaging/map_sectors.h"

#include <algorithm>

#include "platform/disk_units.h"

namespace brovane {

namespace {

// The first block that ends past the byte.
std::vector<RescueBlock>::const_iterator BlockAt(const std::vector<RescueBlock>& blocks,
                                                 std::uint64_t byte) {
    return std::upper_bound(
        blocks.begin(), blocks.end(), byte,
        [](std::uint64_t b, const RescueBlock& block) { return b < block.End(); });
}

// The first byte in [from, to) that is not finished, or `to`.
std::uint64_t FirstUnfinishedByte(const std::vector<RescueBlock>& blocks, std::uint64_t from,
                                  std::uint64_t to) {
    for (auto block = BlockAt(blocks, from); from < to; ++block) {
        if (block == blocks.end() || block->pos > from || block->status != BlockStatus::kFinished) {
            return from;
        }
        from = block->End();
    }
    return to;
}

// The first byte at or after `from` that is finished, or `to`.
std::uint64_t FirstFinishedByte(const std::vector<RescueBlock>& blocks, std::uint64_t from,
                                std::uint64_t to) {
    for (auto block = BlockAt(blocks, from); block != blocks.end() && block->pos < to; ++block) {
        if (block->status == BlockStatus::kFinished) {
            return std::max(from, block->pos);
        }
    }
    return to;
}

}  // namespace

bool IsSectorFinished(const std::vector<RescueBlock>& blocks, std::uint64_t sector) {
    const std::uint64_t end = (sector + 1) * kSectorBytes;
    return FirstUnfinishedByte(blocks, sector * kSectorBytes, end) == end;
}

bool IsSectorUntried(const std::vector<RescueBlock>& blocks, std::uint64_t sector) {
    const auto block = BlockAt(blocks, sector * kSectorBytes);
    return block == blocks.end() || block->pos >= (sector + 1) * kSectorBytes ||
           (block->status == BlockStatus::kNotTried &&
            block->End() >= (sector + 1) * kSectorBytes && block->pos <= sector * kSectorBytes);
}

std::optional<SectorSpan> NextUnfinished(const std::vector<RescueBlock>& blocks, std::uint64_t from,
                                         std::uint64_t to) {
    const std::uint64_t byte = FirstUnfinishedByte(blocks, from * kSectorBytes, to * kSectorBytes);
    const std::uint64_t first = byte / kSectorBytes;
    if (first >= to) {
        return std::nullopt;
    }
    // The run ends at the first sector after it that is wholly finished.
    std::uint64_t end = first + 1;
    while (end < to && !IsSectorFinished(blocks, end)) {
        const std::uint64_t next = FirstFinishedByte(blocks, end * kSectorBytes, to * kSectorBytes);
        end = std::max(end + 1, (next + kSectorBytes - 1) / kSectorBytes);
        end = std::min(end, to);
    }
    return SectorSpan{first, end - first};
}

void MarkUnfinished(std::vector<RescueBlock>& blocks, SectorSpan sectors, BlockStatus status) {
    std::uint64_t from = sectors.first * kSectorBytes;
    const std::uint64_t to = (sectors.first + sectors.count) * kSectorBytes;
    while (from < to) {
        from = FirstUnfinishedByte(blocks, from, to);
        const std::uint64_t end = FirstFinishedByte(blocks, from, to);
        if (end > from) {
            MarkRange(blocks, from, end - from, status);
        }
        from = end;
    }
}

}  // namespace brovane

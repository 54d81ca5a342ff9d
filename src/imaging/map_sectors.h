// A mapfile's blocks seen sector by sector: a sector is finished only when
// every one of its 512 bytes is ('+'); any other byte, or one that no block
// covers, leaves it to be read. Maps from elsewhere may have blocks that do
// not fall on sector bounds.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "format/rescue_map.h"

namespace brovane {

struct SectorSpan {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
};

bool IsSectorFinished(const std::vector<RescueBlock>& blocks, std::uint64_t sector);
// True when no byte of the sector is in a block (never tried by anyone).
bool IsSectorUntried(const std::vector<RescueBlock>& blocks, std::uint64_t sector);
// The first run of sectors in [from, to) that are not finished, as long as
// it goes; nothing when every sector there is finished.
std::optional<SectorSpan> NextUnfinished(const std::vector<RescueBlock>& blocks, std::uint64_t from,
                                         std::uint64_t to);
// Gives the status to the bytes of the sectors that are not finished; the
// finished bytes among them stay finished.
void MarkUnfinished(std::vector<RescueBlock>& blocks, SectorSpan sectors, BlockStatus status);

}  // namespace brovane

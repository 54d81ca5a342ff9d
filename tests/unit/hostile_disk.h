// Walks a disk of whatever bytes as a user would: every item expanded down
// to a depth, every item selected in structure mode. Shared by the hostile
// disk test and the fuzz target.
#pragma once

#include <cstdint>
#include <span>

#include "batch/text_screen.h"

namespace brovane {

struct WalkFigures {
    std::size_t items = 0;
    std::size_t mostChildren = 0;  // of any one item
};

// Expands every item down to maxDepth levels below the drives and selects
// each, stopping after maxItems items.
WalkFigures WalkEverything(TextScreen& screen, int maxDepth, std::size_t maxItems);

}  // namespace brovane

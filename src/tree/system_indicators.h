// What a partition entry's system indicator makes of the entry: the item's
// text, its kind in the master boot record and in an extended table, and
// whether the indicator itself says FAT32.
#pragma once

#include <cstdint>
#include <string_view>

#include "tree/tree_item_info.h"

namespace brovane {

struct SystemIndicatorInfo {
    std::string_view text;
    std::uint16_t kindInMasterBootRecord;
    std::uint16_t kindInExtendedTable;
    std::uint16_t fatType;
};

// Indicator 0 marks an empty entry: no item. Any indicator the table does
// not name is "Unknown".
inline constexpr std::uint8_t kEmptyEntry = 0;

const SystemIndicatorInfo& LookUpSystemIndicator(std::uint8_t indicator);
bool IsExtendedIndicator(std::uint8_t indicator);

}  // namespace brovane

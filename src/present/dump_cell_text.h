// The cells of the three dump modes, sixteen bytes a row: the row's byte
// offset, the sixteen bytes in hexadecimal, an empty gap column, then the
// sixteen bytes themselves as one-character texts.
#pragma once

#include <cstdint>
#include <string>

#include "platform/disk_units.h"
#include "present/right_pane_state.h"

namespace brovane {

inline constexpr int kDumpBytesPerRow = 16;
inline constexpr int kDumpGapColumn = 17;
inline constexpr int kDumpLastColumn = 33;
// 32 rows a sector.
inline constexpr std::uint32_t kDumpRowsPerSector =
    kSectorBytes / static_cast<std::uint32_t>(kDumpBytesPerRow);

// Appends the cell's text; row is the item data, the row number in the unit
// shown. A byte past the buffer, and every column outside 0-33, is blank.
void DumpCellText(const RightPaneState& pane, int column, std::uintptr_t row, std::string& text);

}  // namespace brovane

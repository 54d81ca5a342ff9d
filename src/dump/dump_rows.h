// The rows and columns of a dump: 34 columns (offset, sixteen bytes in
// hexadecimal, a gap, sixteen characters) and 32 callback rows per sector,
// whose texts the cell-text callback formats from the current buffer.
#pragma once

#include <cstdint>

#include "present/dump_cell_text.h"
#include "screen/screen_operations.h"

namespace brovane {

inline constexpr int kClusterDumpOffsetWidth = 85;
inline constexpr int kDumpOffsetWidth = 100;

// The three view modes whose rows are a dump's.
inline bool IsDumpView(ViewMode mode) {
    return mode == VM_CLUSTER_DUMP || mode == VM_SECTOR_DUMP || mode == VM_RAW_SECTOR_DUMP;
}

void InsertDumpColumns(ScreenOperations& screen, int offsetWidth);
// Rows 0 to sectors × 32 − 1, each with its own number as item data.
void InsertDumpRows(ScreenOperations& screen, std::uint32_t sectors);
// Draws the first sectors × 32 rows again from the current buffer, clearing
// any selection in them; the focus stays. Rows that no longer exist are skipped.
void RefreshDumpRows(ScreenOperations& screen, std::uint32_t sectors);

}  // namespace brovane

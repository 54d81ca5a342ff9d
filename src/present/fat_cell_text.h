// The cells of the three FAT grids: column 0 numbers the row's first entry,
// columns 1-16 show its sixteen entries in hexadecimal, decoded from the
// pane's buffer when drawn.
#pragma once

#include <cstdint>
#include <string>

#include "present/right_pane_state.h"

namespace brovane {

inline constexpr int kFatEntriesPerRow = 16;

// Each appends the cell's text. An entry whose bytes are not all inside the
// buffer, and every column outside 0-16, is blank.
// FAT16: rowOffset is the row's byte offset; entries "%04X".
void Fat16CellText(const RightPaneState& pane, int column, std::uintptr_t rowOffset,
                   std::string& text);
// FAT32: rowOffset is the row's byte offset; entries "%08X" of their low 28 bits.
void Fat32CellText(const RightPaneState& pane, int column, std::uintptr_t rowOffset,
                   std::string& text);
// FAT12: row is the row number (24 bytes a row); entries "%03X".
void Fat12CellText(const RightPaneState& pane, int column, std::uintptr_t row, std::string& text);

}  // namespace brovane

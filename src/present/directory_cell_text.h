// The texts of a directory listing's eight columns, formatted from a row's
// fields when the list draws a cell.
#pragma once

#include <string>

#include "present/directory_row_store.h"

namespace brovane {

// Appends the text of the column to text: the short name, the long name
// (whole, whatever its length), the starting cluster, the attribute letters
// with the deleted mark, the size and the three dates. Columns outside the
// eight give nothing.
void AppendDirectoryCellText(const DirectoryRow& row, int column, std::string& text);

}  // namespace brovane

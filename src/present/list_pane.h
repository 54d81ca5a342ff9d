// Clearing the right pane before a presenter or dump fills it, and the
// column layouts the presenters insert.
#pragma once

#include <span>
#include <string_view>

#include "screen/screen_operations.h"

namespace brovane {

struct ColumnLayout {
    std::string_view heading;
    int width;
    ColumnAlign align = ColumnAlign::Left;
};

// Shows "Wait....", then clears the pane.
void ResetListPane(ScreenOperations& screen);
// Deletes every row, then every column.
void ClearListPane(ScreenOperations& screen);
// Inserts the columns at indexes 0, 1, ... in order.
void InsertColumns(ScreenOperations& screen, std::span<const ColumnLayout> columns);

}  // namespace brovane

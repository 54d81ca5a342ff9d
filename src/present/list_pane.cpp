#include "present/list_pane.h"

#include "screen/texts.h"

namespace brovane {

void ClearListPane(ScreenOperations& screen) {
    screen.DeleteAllListItems();
    while (screen.GetListColumnCount() > 0) {
        screen.DeleteListColumn(0);
    }
}

void ResetListPane(ScreenOperations& screen) {
    screen.SetStatusText(kProgressPane, kWaitText);
    ClearListPane(screen);
}

void InsertColumns(ScreenOperations& screen, std::span<const ColumnLayout> columns) {
    int index = 0;
    for (const ColumnLayout& column : columns) {
        screen.InsertListColumn(index++, column.heading, column.align, column.width);
    }
}

}  // namespace brovane

#include "present/list_pane.h"

#include "app/command_table.h"
#include "app/session.h"

namespace brovane {

void ClearListPane(ScreenOperations& screen) {
    screen.DeleteAllListItems();
    while (screen.GetListColumnCount() > 0) {
        screen.DeleteListColumn(0);
    }
}

void ResetListPane(Session& session) {
    session.screen.SetStatusText(kProgressPane, kWaitText);
    ClearListPane(session.screen);
}

void InsertColumns(Session& session, std::span<const ColumnLayout> columns) {
    int index = 0;
    for (const ColumnLayout& column : columns) {
        session.screen.InsertListColumn(index++, column.heading, column.align, column.width);
    }
}

}  // namespace brovane

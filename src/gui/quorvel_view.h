// CQuorvelView: the list pane, a report-style list with full-row selection
// over the list model. A row's selected state is the view's selection, its
// focused state the view's current row (one at a time). Double and right
// clicks go to the core; the row under the cursor is answered by a hit test.
#pragma once

#include <QTableView>

#include "gui/list_model.h"
#include "gui/pane_cursor.h"

namespace brovane {

class CQuorvelView : public QTableView {
    Q_OBJECT

  public:
    CQuorvelView(PaneCursor& cursor, QWidget* parent = nullptr);

    void SetEvents(ScreenEvents* events);
    ListModel& Model() { return model_; }

    void InsertColumn(int column, std::string_view heading, ColumnAlign align, int width);
    void SetRowState(int row, bool selected, bool focused);
    bool IsRowSelected(int row);
    bool IsRowFocused(int row);
    int HitTestAtCursor();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // The row's index once the views know of it; invalid for no such row.
    QModelIndex RowIndex(int row);

    ListModel model_;
    PaneCursor& cursor_;
    ScreenEvents* events_ = nullptr;
};

}  // namespace brovane

#include "gui/quorvel_view.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace brovane {

namespace {

constexpr int kRowPadding = 4;

}  // namespace

CQuorvelView::CQuorvelView(PaneCursor& cursor, QWidget* parent)
    : QTableView(parent), cursor_(cursor) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    verticalHeader()->hide();
    // Fixed row heights keep millions of rows as cheap as a few.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void CQuorvelView::SetEvents(ScreenEvents* events) {
    events_ = events;
    model_.SetEvents(events);
}

void CQuorvelView::InsertColumn(int column, std::string_view heading, ColumnAlign align,
                                int width) {
    setColumnWidth(model_.InsertColumn(column, heading, align, width), width);
}

QModelIndex CQuorvelView::RowIndex(int row) {
    model_.Announce();
    return model_.columnCount({}) > 0 ? model_.index(row, 0) : QModelIndex();
}

void CQuorvelView::SetRowState(int row, bool selected, bool focused) {
    QModelIndex index = RowIndex(row);
    if (!index.isValid()) {
        return;
    }
    QItemSelectionModel* selection = selectionModel();
    selection->select(index,
                      (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                          QItemSelectionModel::Rows);
    if (focused) {
        selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    } else if (selection->currentIndex().row() == row) {
        selection->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
}

bool CQuorvelView::IsRowSelected(int row) {
    QModelIndex index = RowIndex(row);
    return index.isValid() && selectionModel()->isRowSelected(row);
}

bool CQuorvelView::IsRowFocused(int row) {
    QModelIndex index = RowIndex(row);
    return index.isValid() && selectionModel()->currentIndex().row() == row;
}

int CQuorvelView::HitTestAtCursor() {
    model_.Announce();
    QPoint point = viewport()->mapFromGlobal(cursor_.GlobalPosition());
    if (!viewport()->rect().contains(point)) {
        return -1;
    }
    QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

// Qt makes the first row current when the pane gains the focus; the
// focused row stays the one the user or the core chose.
void CQuorvelView::focusInEvent(QFocusEvent* event) {
    bool hadNoFocusedRow = !currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (hadNoFocusedRow && currentIndex().isValid()) {
        selectionModel()->clearCurrentIndex();
    }
}

void CQuorvelView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && events_ != nullptr) {
        cursor_.During(event->globalPosition().toPoint(), [this] { events_->OnListDoubleClick(); });
    }
}

void CQuorvelView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton && events_ != nullptr) {
        cursor_.During(event->globalPosition().toPoint(), [this] { events_->OnListRightClick(); });
    }
}

}  // namespace brovane

#include "gui/left_view.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace brovane {

CLeftView::CLeftView(PaneCursor& cursor, QWidget* parent) : QTreeView(parent), cursor_(cursor) {
    setModel(&model_);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    // Right clicks reach the pane's own handlers, not a context-menu event.
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(this, &QTreeView::expanded, this, &CLeftView::OnExpanded);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CLeftView::OnSelectionChanged);
}

void CLeftView::SetEvents(ScreenEvents* events) {
    events_ = events;
    model_.SetEvents(events);
}

void CLeftView::DeleteAllItems() {
    bool hadCaret = caret_ != kNoTreeItem;
    quiet_ = true;
    model_.Clear();
    quiet_ = false;
    caret_ = kNoTreeItem;
    if (hadCaret && events_ != nullptr) {
        events_->OnTreeSelectionChanged(nullptr);
    }
}

void CLeftView::Select(TreeItemHandle item) {
    if (item == caret_ || (item != kNoTreeItem && !model_.Contains(item))) {
        return;
    }
    if (item == kNoTreeItem) {
        selectionModel()->clear();
    } else {
        selectionModel()->setCurrentIndex(model_.IndexOf(item),
                                          QItemSelectionModel::ClearAndSelect);
    }
}

void CLeftView::OnSelectionChanged() {
    if (quiet_) {
        return;
    }
    QModelIndexList selected = selectionModel()->selectedIndexes();
    TreeItemHandle item = selected.isEmpty() ? kNoTreeItem : model_.HandleOf(selected.front());
    if (item == caret_) {
        return;
    }
    caret_ = item;
    if (events_ != nullptr) {
        events_->OnTreeSelectionChanged(model_.InfoOf(item));
    }
}

void CLeftView::Collapse(TreeItemHandle item) {
    quiet_ = true;
    collapse(model_.IndexOf(item));
    quiet_ = false;
}

// The view has expanded the item already; a refusal folds it back before
// anything is drawn.
void CLeftView::OnExpanded(const QModelIndex& index) {
    if (quiet_) {
        return;
    }
    TreeItemHandle item = model_.HandleOf(index);
    bool allowed = events_ == nullptr || events_->OnTreeItemExpanding(item, model_.InfoOf(item),
                                                                      model_.ExpandedOnce(item));
    // The handler may have rebuilt the tree: look the item up again.
    QModelIndex current = model_.IndexOf(item);
    if (!current.isValid()) {
        return;
    }
    if (allowed) {
        model_.MarkExpandedOnce(item);
    }
    if (!allowed || model_.rowCount(current) == 0) {
        Collapse(item);
    }
}

TreeItemHandle CLeftView::HitTestAtCursor() const {
    QPoint point = viewport()->mapFromGlobal(cursor_.GlobalPosition());
    if (!viewport()->rect().contains(point)) {
        return kNoTreeItem;
    }
    return model_.HandleOf(indexAt(point));
}

// Qt makes the first item current when the pane gains the focus; the
// caret stays where the user or the core put it.
void CLeftView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    if (caret_ == kNoTreeItem && currentIndex().isValid()) {
        selectionModel()->clearCurrentIndex();
    }
}

void CLeftView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void CLeftView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (events_ != nullptr) {
        cursor_.During(event->globalPosition().toPoint(), [this] { events_->OnTreeRightClick(); });
    }
}

// A click never takes the caret away: there is always at most one item
// selected, and it changes only to another item.
QItemSelectionModel::SelectionFlags CLeftView::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const {
    QItemSelectionModel::SelectionFlags command = QTreeView::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect) ||
        command.testFlag(QItemSelectionModel::Toggle)) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

}  // namespace brovane

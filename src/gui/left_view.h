// CLeftView: the tree pane. It raises the core's notifications: an item is
// about to expand (the core may refuse; the item then stays collapsed), the
// caret changed (only on a change), and a right click, which neither
// selects nor expands. The caret is the selected item.
#pragma once

#include <QTreeView>

#include "gui/pane_cursor.h"
#include "gui/tree_model.h"

namespace brovane {

class CLeftView : public QTreeView {
    Q_OBJECT

  public:
    CLeftView(PaneCursor& cursor, QWidget* parent = nullptr);

    void SetEvents(ScreenEvents* events);
    TreeModel& Model() { return model_; }

    // Deleting the caret item selects nothing, and says so.
    void DeleteAllItems();
    TreeItemHandle Caret() const { return caret_; }
    // The notification arrives before this returns when the caret changes.
    void Select(TreeItemHandle item);
    TreeItemHandle HitTestAtCursor() const;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  private:
    void OnExpanded(const QModelIndex& index);
    void OnSelectionChanged();
    void Collapse(TreeItemHandle item);

    TreeModel model_;
    PaneCursor& cursor_;
    ScreenEvents* events_ = nullptr;
    TreeItemHandle caret_ = kNoTreeItem;
    bool quiet_ = false;  // set while the view changes itself
};

}  // namespace brovane

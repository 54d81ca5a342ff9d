// The list pane's columns and rows. A row keeps either stored texts or only
// the core's item data: the cells of such a callback row are asked of
// ScreenEvents::GetCellText whenever the view draws them, and nothing is
// stored per cell. Rows appended one by one are announced to the views in
// one insertion, at the next pass of the event loop or as soon as anyone
// looks at them, so that a list of millions of rows opens at once.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/row_runs.h"
#include "screen/screen_operations.h"

namespace brovane {

class ListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    struct Column {
        std::string heading;
        ColumnAlign align;
        int width;
    };

    explicit ListModel(QObject* parent = nullptr);

    void SetEvents(ScreenEvents* events) { events_ = events; }

    // Both answer the index the column or row got.
    int InsertColumn(int column, std::string_view heading, ColumnAlign align, int width);
    int InsertRow(int row, std::string_view text);
    int InsertCallbackRow(int row, std::uintptr_t itemData);
    void RemoveColumn(int column);
    void RemoveAllRows();
    // Stored rows only; a callback row has no texts to set.
    void SetText(int row, int column, std::string_view text);
    // The callback cells of these rows are asked again.
    void Redraw(int first, int last);

    const std::vector<Column>& Columns() const { return columns_; }
    // Every row, announced or not.
    int RowTotal() const { return rows_.Count(); }
    const RowRuns& Rows() const { return rows_; }
    // Tells the views of the rows appended since the last announcement.
    void Announce();

    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    template <class InsertInto>
    int InsertAt(int row, InsertInto insert);
    // Queues the announcement of appended rows; answers row.
    int QueueAnnouncement(int row);
    QString CellText(int row, int column) const;

    std::vector<Column> columns_;
    RowRuns rows_;
    int announced_ = 0;  // rows the views know of: the first ones
    bool announcementQueued_ = false;
    ScreenEvents* events_ = nullptr;
};

}  // namespace brovane

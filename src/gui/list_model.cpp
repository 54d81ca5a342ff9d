#include "gui/list_model.h"

#include <algorithm>

#include "gui/latin1_text.h"

namespace brovane {

namespace {

Qt::Alignment ToQt(ColumnAlign align) {
    switch (align) {
        case ColumnAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case ColumnAlign::Center:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case ColumnAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListModel::InsertColumn(int column, std::string_view heading, ColumnAlign align, int width) {
    column = std::clamp(column, 0, static_cast<int>(columns_.size()));
    beginInsertColumns({}, column, column);
    columns_.insert(columns_.begin() + column, Column{std::string(heading), align, width});
    endInsertColumns();
    return column;
}

void ListModel::RemoveColumn(int column) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) {
        return;
    }
    beginRemoveColumns({}, column, column);
    columns_.erase(columns_.begin() + column);
    endRemoveColumns();
}

// Rows appended at the end wait for one announcement; a row put before
// others is announced at once, after those still waiting.
template <class InsertInto>
int ListModel::InsertAt(int row, InsertInto insert) {
    if (row >= RowTotal()) {
        return QueueAnnouncement(insert(row));
    }
    Announce();
    row = std::max(row, 0);
    beginInsertRows({}, row, row);
    insert(row);
    ++announced_;
    endInsertRows();
    return row;
}

int ListModel::InsertRow(int row, std::string_view text) {
    return InsertAt(row, [&](int at) { return rows_.InsertStored(at, text); });
}

int ListModel::InsertCallbackRow(int row, std::uintptr_t itemData) {
    return InsertAt(row, [&](int at) { return rows_.InsertCallback(at, itemData); });
}

int ListModel::QueueAnnouncement(int row) {
    if (!announcementQueued_) {
        announcementQueued_ = true;
        QMetaObject::invokeMethod(this, &ListModel::Announce, Qt::QueuedConnection);
    }
    return row;
}

void ListModel::Announce() {
    announcementQueued_ = false;
    if (announced_ >= RowTotal()) {
        return;
    }
    beginInsertRows({}, announced_, RowTotal() - 1);
    announced_ = RowTotal();
    endInsertRows();
}

void ListModel::RemoveAllRows() {
    if (announced_ > 0) {
        beginRemoveRows({}, 0, announced_ - 1);
        announced_ = 0;
        rows_.Clear();
        endRemoveRows();
    }
    rows_.Clear();
}

void ListModel::SetText(int row, int column, std::string_view text) {
    std::vector<std::string>* texts = rows_.Texts(row);
    if (texts == nullptr || column < 0) {
        return;
    }
    if (texts->size() <= static_cast<std::size_t>(column)) {
        texts->resize(static_cast<std::size_t>(column) + 1);
    }
    (*texts)[static_cast<std::size_t>(column)] = std::string(text);
    if (row < announced_ && column < columnCount({})) {
        emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    }
}

void ListModel::Redraw(int first, int last) {
    Announce();
    first = std::max(first, 0);
    last = std::min(last, announced_ - 1);
    if (first <= last && !columns_.empty()) {
        emit dataChanged(index(first, 0), index(last, columnCount({}) - 1), {Qt::DisplayRole});
    }
}

QString ListModel::CellText(int row, int column) const {
    const std::vector<std::string>* texts = rows_.Texts(row);
    if (texts == nullptr) {
        return events_ == nullptr ? QString()
                                  : Latin1(events_->GetCellText(column, rows_.ItemData(row)));
    }
    auto cell = static_cast<std::size_t>(column);
    return cell < texts->size() ? Latin1((*texts)[cell]) : QString();
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announced_;
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return CellText(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return ToQt(columns_[static_cast<std::size_t>(index.column())].align).toInt();
    }
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const Column& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return Latin1(column.heading);
    }
    if (role == Qt::TextAlignmentRole) {
        return ToQt(column.align).toInt();
    }
    return {};
}

}  // namespace brovane

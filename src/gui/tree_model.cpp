#include "gui/tree_model.h"

#include <algorithm>

#include "gui/latin1_text.h"

namespace brovane {

TreeModel::TreeModel(QObject* parent) : QAbstractItemModel(parent) {}

TreeModel::~TreeModel() = default;

TreeModel::Node* TreeModel::Find(TreeItemHandle item) const {
    auto found = nodes_.find(item);
    return found == nodes_.end() ? nullptr : found->second.get();
}

const TreeModel::Node* TreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<const Node*>(index.internalPointer()) : &root_;
}

QModelIndex TreeModel::IndexOfNode(const Node* node) const {
    if (node == nullptr || node == &root_) {
        return {};
    }
    const std::vector<Node*>& siblings = node->parent->children;
    auto row = std::find(siblings.begin(), siblings.end(), node) - siblings.begin();
    return createIndex(static_cast<int>(row), 0, node);
}

TreeItemHandle TreeModel::Insert(TreeItemHandle parent, TreeItemHandle after, std::string_view text,
                                 bool callback, bool hasChildren, TreeItemInfo* info) {
    Node* parentNode = parent == kTreeRoot ? &root_ : Find(parent);
    if (parentNode == nullptr) {
        return kNoTreeItem;
    }
    auto node = std::make_unique<Node>();
    node->handle = nextHandle_++;
    node->parent = parentNode;
    node->text = std::string(text);
    node->callback = callback;
    node->hasChildren = hasChildren;
    node->info = info;

    std::vector<Node*>& siblings = parentNode->children;
    auto place = std::find_if(siblings.begin(), siblings.end(),
                              [after](const Node* sibling) { return sibling->handle == after; });
    auto row = place == siblings.end() ? siblings.size()
                                       : static_cast<std::size_t>(place - siblings.begin()) + 1;
    beginInsertRows(IndexOfNode(parentNode), static_cast<int>(row), static_cast<int>(row));
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(row), node.get());
    TreeItemHandle handle = node->handle;
    nodes_.emplace(handle, std::move(node));
    endInsertRows();
    return handle;
}

void TreeModel::Clear() {
    beginResetModel();
    root_.children.clear();
    nodes_.clear();
    endResetModel();
}

QModelIndex TreeModel::IndexOf(TreeItemHandle item) const {
    const Node* node = Find(item);
    return node == nullptr ? QModelIndex() : IndexOfNode(node);
}

TreeItemHandle TreeModel::HandleOf(const QModelIndex& index) const {
    return index.isValid() ? NodeOf(index)->handle : kNoTreeItem;
}

TreeItemInfo* TreeModel::InfoOf(TreeItemHandle item) const {
    const Node* node = Find(item);
    return node == nullptr ? nullptr : node->info;
}

bool TreeModel::ExpandedOnce(TreeItemHandle item) const {
    const Node* node = Find(item);
    return node != nullptr && node->expandedOnce;
}

void TreeModel::MarkExpandedOnce(TreeItemHandle item) {
    Node* node = Find(item);
    if (node == nullptr || node->expandedOnce) {
        return;
    }
    node->expandedOnce = true;
    // The view reads the button's presence again on a change of the item.
    QModelIndex index = IndexOfNode(node);
    emit dataChanged(index, index);
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0)) {
        return {};
    }
    const Node* node = NodeOf(parent);
    if (static_cast<std::size_t>(row) >= node->children.size()) {
        return {};
    }
    return createIndex(row, 0, node->children[static_cast<std::size_t>(row)]);
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    return child.isValid() ? IndexOfNode(NodeOf(child)->parent) : QModelIndex();
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) {
        return 0;
    }
    return static_cast<int>(NodeOf(parent)->children.size());
}

int TreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TreeModel::hasChildren(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) {
        return false;
    }
    const Node* node = NodeOf(parent);
    return !node->children.empty() || (node->hasChildren && !node->expandedOnce);
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    const Node* node = NodeOf(index);
    if (!node->callback) {
        return Latin1(node->text);
    }
    return events_ == nullptr ? QString() : Latin1(events_->GetTreeItemText(node->info));
}

}  // namespace brovane

// The tree pane's items as a lazily filled model. An item keeps the core's
// record address and either its own text or nothing, in which case the
// core is asked for the text whenever the item is drawn. An item flagged
// as having children shows an expand button before any child exists, until
// its first allowed expansion finds none. Handles are never reused, so a
// handle kept across a deletion of all items is simply unknown.
#pragma once

#include <QAbstractItemModel>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "screen/screen_operations.h"

namespace brovane {

class TreeModel : public QAbstractItemModel {
    Q_OBJECT

  public:
    explicit TreeModel(QObject* parent = nullptr);
    ~TreeModel() override;

    void SetEvents(ScreenEvents* events) { events_ = events; }

    // After the sibling `after`, or last when it is no child of parent.
    // Answers kNoTreeItem when parent is unknown.
    TreeItemHandle Insert(TreeItemHandle parent, TreeItemHandle after, std::string_view text,
                          bool callback, bool hasChildren, TreeItemInfo* info);
    void Clear();

    QModelIndex IndexOf(TreeItemHandle item) const;
    TreeItemHandle HandleOf(const QModelIndex& index) const;
    bool Contains(TreeItemHandle item) const { return nodes_.contains(item); }
    TreeItemInfo* InfoOf(TreeItemHandle item) const;
    bool ExpandedOnce(TreeItemHandle item) const;
    // From the first allowed expansion on; the button goes when no child came.
    void MarkExpandedOnce(TreeItemHandle item);

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    bool hasChildren(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    struct Node {
        TreeItemHandle handle = kNoTreeItem;
        Node* parent = nullptr;
        std::string text;
        bool callback = false;
        bool hasChildren = false;
        bool expandedOnce = false;
        TreeItemInfo* info = nullptr;
        std::vector<Node*> children;
    };

    Node* Find(TreeItemHandle item) const;
    const Node* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOfNode(const Node* node) const;

    Node root_;
    std::unordered_map<TreeItemHandle, std::unique_ptr<Node>> nodes_;
    TreeItemHandle nextHandle_ = 1;
    ScreenEvents* events_ = nullptr;
};

}  // namespace brovane

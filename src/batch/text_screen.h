// The in-memory front-end: the tree, the list, the status bar, the menu
// marks and message boxes kept as plain data. The unit tests and
// brovane-batch drive it through the user actions below, which raise the
// same notifications the GUI raises.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "screen/command_table.h"
#include "screen/screen_operations.h"

namespace brovane {

class TextScreen : public ScreenOperations {
  public:
    // Every line a message box or confirmation prints goes here.
    using LineSink = std::function<void(std::string_view line)>;

    explicit TextScreen(LineSink sink = {});

    void SetEvents(ScreenEvents* events) { events_ = events; }

    // --- ScreenOperations ---
    TreeItemHandle InsertTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                  std::string_view text, bool hasChildren,
                                  TreeItemInfo* info) override;
    TreeItemHandle InsertCallbackTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                          bool hasChildren, TreeItemInfo* info) override;
    void DeleteAllTreeItems() override;
    TreeItemHandle GetCaretItem() override { return caret_; }
    void SelectTreeItem(TreeItemHandle item) override;
    TreeItemHandle HitTestTreeAtCursor() override { return cursorItem_; }
    TreeItemInfo* GetTreeItemInfo(TreeItemHandle item) override;

    void DeleteAllListItems() override { rows_.clear(); }
    int GetListColumnCount() override { return static_cast<int>(columns_.size()); }
    void DeleteListColumn(int column) override;
    void InsertListColumn(int column, std::string_view heading, ColumnAlign align,
                          int width) override;
    int InsertListItem(int row, std::string_view text) override;
    int InsertCallbackListItem(int row, std::uintptr_t itemData) override;
    void SetListItemText(int row, int column, std::string_view text) override;
    void SetListItemState(int row, bool selected, bool focused) override;
    int GetListItemCount() override { return static_cast<int>(rows_.size()); }
    bool IsListItemSelected(int row) override;
    bool IsListItemFocused(int row) override;
    int HitTestListAtCursor() override { return cursorRow_; }
    void RedrawListItems(int, int) override {}

    void SetStatusText(int pane, std::string_view text) override;

    bool IsMenuChecked(int command) override { return checked_.contains(command); }
    void SetMenuChecked(int command, bool checked) override;

    void Notify(std::string_view text) override;
    bool Confirm(std::string_view text) override;
    int ShowPopupMenu(const std::vector<PopupEntry>& entries) override;
    void ShowDocument(std::string_view path) override;
    bool EditBytesDialog(EditBytes& bytes) override;
    // No file is named here (the batch lines name their host files), and
    // long work runs at once, on this thread, without progress.
    std::string AskHostFile(std::string_view title, bool forWriting) override;
    std::string AskHostFolder(std::string_view title) override { return AskHostFile(title, true); }
    void RunLongWork(std::string_view title, const LongWork& work) override;
    // The line set for the next dialog, with OK; none: Cancel.
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt) override;
    void SetNextLine(std::optional<std::string> line) { nextLine_ = std::move(line); }
    // The pattern set for the next Find dialog, with OK; none: Cancel.
    std::optional<SearchRequest> AskSearchPattern(std::string_view title) override;
    void SetNextSearch(std::optional<SearchRequest> request) { nextSearch_ = std::move(request); }
    void SetClipboardText(std::string_view text) override { clipboard_ = text; }
    std::string ClipboardText() override { return clipboard_; }

    // --- The user's actions ---
    // The expand button; a refused expansion stays collapsed. False when the
    // item has no button.
    bool Expand(TreeItemHandle item);
    void Collapse(TreeItemHandle item);
    void RightClickTree(TreeItemHandle item);
    // As the GUI's right button does: the row gets the focus, and a row
    // outside the selection becomes the only one selected.
    void RightClickList(int row);
    // A click on first and a Shift+click on last: the rows from one to the
    // other selected alone, last focused.
    void SelectListRows(int first, int last);
    // Focuses and selects the row alone, then double-clicks it.
    void DoubleClickList(int row);
    // Answers for the next confirmation boxes, in order; unanswered boxes answer no.
    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    // What the user does in the next byte dialog: the sixteen box texts to
    // press OK with (nothing: Cancel). kKeepBox keeps a box as shown.
    using BoxTexts = std::array<std::string, 16>;
    static constexpr std::string_view kKeepBox = "=";
    void SetNextEdit(std::optional<BoxTexts> boxes) { nextEdit_ = std::move(boxes); }

    // --- What is on screen ---
    struct ColumnView {
        std::string heading;
        ColumnAlign align;
        int width;
    };
    const std::vector<ColumnView>& Columns() const { return columns_; }
    // A cell's text: stored, or asked of the core for callback rows.
    std::string CellText(int row, int column);
    std::string ItemText(TreeItemHandle item);
    std::vector<TreeItemHandle> Children(TreeItemHandle parent) const;
    TreeItemHandle Parent(TreeItemHandle item) const;
    bool IsExpanded(TreeItemHandle item) const;
    bool HasButton(TreeItemHandle item) const;
    const std::string& StatusText(int pane) const { return status_[pane == 0 ? 0 : 1]; }
    // The entries of the last pop-up menu shown by the last right click.
    const std::vector<PopupEntry>& LastPopup() const { return lastPopup_; }
    // Closes the pop-up menu, as choosing one of its entries does.
    void ClosePopup() { lastPopup_.clear(); }

    // Framework state of the window.
    bool toolbarVisible = true;
    bool statusBarVisible = true;
    ListStyle listStyle = ListStyle::Report;
    // Which pane has the keyboard focus: the tree or the list.
    bool focusOnList = false;

  private:
    struct Item {
        TreeItemHandle parent = kNoTreeItem;
        std::string text;
        bool callback = false;
        bool hasChildren = false;
        TreeItemInfo* info = nullptr;
        bool expanded = false;
        bool expandedOnce = false;
        std::vector<TreeItemHandle> children;
    };
    struct Row {
        bool callback;
        std::uintptr_t itemData;
        std::vector<std::string> texts;
        bool selected = false;
        bool focused = false;
    };

    static Item MakeItem(std::string text, bool callback, bool hasChildren, TreeItemInfo* info);
    TreeItemHandle Insert(TreeItemHandle parent, TreeItemHandle after, Item item);
    std::vector<TreeItemHandle>& SiblingsOf(TreeItemHandle parent);
    int InsertRow(int row, Row value);
    Row* FindRow(int row);
    void Print(std::string_view line);

    LineSink sink_;
    ScreenEvents* events_ = nullptr;
    std::map<TreeItemHandle, Item> items_;
    std::vector<TreeItemHandle> roots_;
    TreeItemHandle nextHandle_ = 1;
    TreeItemHandle caret_ = kNoTreeItem;
    TreeItemHandle cursorItem_ = kNoTreeItem;
    std::vector<ColumnView> columns_;
    std::vector<Row> rows_;
    int cursorRow_ = -1;
    std::string status_[2];
    std::set<int> checked_;
    std::deque<bool> answers_;
    std::vector<PopupEntry> lastPopup_;
    std::optional<BoxTexts> nextEdit_;
    std::optional<std::string> nextLine_;
    std::optional<SearchRequest> nextSearch_;
    std::string clipboard_;
};

}  // namespace brovane

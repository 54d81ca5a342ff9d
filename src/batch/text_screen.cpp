#include "batch/text_screen.h"

#include <algorithm>
#include <fstream>

#include "batch/printed_forms.h"

namespace brovane {

TextScreen::TextScreen(LineSink sink) : sink_(std::move(sink)) {}

void TextScreen::Print(std::string_view line) {
    if (sink_) {
        sink_(line);
    }
}

// ---- Tree pane ----

std::vector<TreeItemHandle>& TextScreen::SiblingsOf(TreeItemHandle parent) {
    return parent == kTreeRoot ? roots_ : items_.at(parent).children;
}

TextScreen::Item TextScreen::MakeItem(std::string text, bool callback, bool hasChildren,
                                      TreeItemInfo* info) {
    Item item;
    item.text = std::move(text);
    item.callback = callback;
    item.hasChildren = hasChildren;
    item.info = info;
    return item;
}

TreeItemHandle TextScreen::Insert(TreeItemHandle parent, TreeItemHandle after, Item item) {
    if (parent != kTreeRoot && !items_.contains(parent)) {
        return kNoTreeItem;
    }
    TreeItemHandle handle = nextHandle_++;
    item.parent = parent;
    items_.emplace(handle, std::move(item));
    std::vector<TreeItemHandle>& siblings = SiblingsOf(parent);
    auto place = std::find(siblings.begin(), siblings.end(), after);
    siblings.insert(place == siblings.end() ? siblings.end() : place + 1, handle);
    return handle;
}

TreeItemHandle TextScreen::InsertTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                          std::string_view text, bool hasChildren,
                                          TreeItemInfo* info) {
    return Insert(parent, after, MakeItem(std::string(text), false, hasChildren, info));
}

TreeItemHandle TextScreen::InsertCallbackTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                                  bool hasChildren, TreeItemInfo* info) {
    return Insert(parent, after, MakeItem({}, true, hasChildren, info));
}

void TextScreen::DeleteAllTreeItems() {
    // Deleting the selected item selects nothing, and says so.
    bool hadCaret = caret_ != kNoTreeItem;
    items_.clear();
    roots_.clear();
    caret_ = kNoTreeItem;
    cursorItem_ = kNoTreeItem;
    if (hadCaret && events_ != nullptr) {
        events_->OnTreeSelectionChanged(nullptr);
    }
}

void TextScreen::SelectTreeItem(TreeItemHandle item) {
    if (item != kNoTreeItem && !items_.contains(item)) {
        return;
    }
    if (item == caret_) {
        return;
    }
    caret_ = item;
    if (events_ != nullptr) {
        events_->OnTreeSelectionChanged(GetTreeItemInfo(item));
    }
}

TreeItemInfo* TextScreen::GetTreeItemInfo(TreeItemHandle item) {
    auto found = items_.find(item);
    return found == items_.end() ? nullptr : found->second.info;
}

std::string TextScreen::ItemText(TreeItemHandle item) {
    auto found = items_.find(item);
    if (found == items_.end()) {
        return {};
    }
    if (!found->second.callback) {
        return found->second.text;
    }
    return events_ == nullptr ? std::string{}
                              : std::string(events_->GetTreeItemText(found->second.info));
}

std::vector<TreeItemHandle> TextScreen::Children(TreeItemHandle parent) const {
    if (parent == kTreeRoot) {
        return roots_;
    }
    auto found = items_.find(parent);
    return found == items_.end() ? std::vector<TreeItemHandle>{} : found->second.children;
}

TreeItemHandle TextScreen::Parent(TreeItemHandle item) const {
    auto found = items_.find(item);
    return found == items_.end() ? kNoTreeItem : found->second.parent;
}

bool TextScreen::HasButton(TreeItemHandle item) const {
    auto found = items_.find(item);
    if (found == items_.end()) {
        return false;
    }
    const Item& value = found->second;
    // The has-children flag shows a button until the first expansion finds none.
    return !value.children.empty() || (value.hasChildren && !value.expandedOnce);
}

bool TextScreen::IsExpanded(TreeItemHandle item) const {
    auto found = items_.find(item);
    return found != items_.end() && found->second.expanded && !found->second.children.empty();
}

bool TextScreen::Expand(TreeItemHandle item) {
    if (!HasButton(item) || IsExpanded(item)) {
        return false;
    }
    Item& value = items_.at(item);
    if (events_ != nullptr && !events_->OnTreeItemExpanding(item, value.info, value.expandedOnce)) {
        return true;
    }
    // The handler may have cleared the tree; look the item up again.
    auto found = items_.find(item);
    if (found != items_.end()) {
        found->second.expanded = true;
        found->second.expandedOnce = true;
    }
    return true;
}

void TextScreen::Collapse(TreeItemHandle item) {
    auto found = items_.find(item);
    if (found != items_.end()) {
        found->second.expanded = false;
    }
}

void TextScreen::RightClickTree(TreeItemHandle item) {
    lastPopup_.clear();
    cursorItem_ = item;
    if (events_ != nullptr) {
        events_->OnTreeRightClick();
    }
    cursorItem_ = kNoTreeItem;
}

// ---- List pane ----

void TextScreen::DeleteListColumn(int column) {
    if (column >= 0 && column < GetListColumnCount()) {
        columns_.erase(columns_.begin() + column);
    }
}

void TextScreen::InsertListColumn(int column, std::string_view heading, ColumnAlign align,
                                  int width) {
    column = std::clamp(column, 0, GetListColumnCount());
    columns_.insert(columns_.begin() + column, ColumnView{std::string(heading), align, width});
}

int TextScreen::InsertRow(int row, Row value) {
    row = std::clamp(row, 0, GetListItemCount());
    rows_.insert(rows_.begin() + row, std::move(value));
    return row;
}

int TextScreen::InsertListItem(int row, std::string_view text) {
    return InsertRow(row, Row{false, 0, {std::string(text)}});
}

int TextScreen::InsertCallbackListItem(int row, std::uintptr_t itemData) {
    return InsertRow(row, Row{true, itemData, {}});
}

TextScreen::Row* TextScreen::FindRow(int row) {
    return row >= 0 && row < GetListItemCount() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
}

void TextScreen::SetListItemText(int row, int column, std::string_view text) {
    Row* value = FindRow(row);
    if (value == nullptr || value->callback || column < 0) {
        return;
    }
    if (value->texts.size() <= static_cast<std::size_t>(column)) {
        value->texts.resize(static_cast<std::size_t>(column) + 1);
    }
    value->texts[static_cast<std::size_t>(column)] = std::string(text);
}

void TextScreen::SetListItemState(int row, bool selected, bool focused) {
    Row* value = FindRow(row);
    if (value == nullptr) {
        return;
    }
    // One row holds the focus at a time.
    if (focused) {
        for (Row& other : rows_) {
            other.focused = false;
        }
    }
    value->selected = selected;
    value->focused = focused;
}

bool TextScreen::IsListItemSelected(int row) {
    Row* value = FindRow(row);
    return value != nullptr && value->selected;
}

bool TextScreen::IsListItemFocused(int row) {
    Row* value = FindRow(row);
    return value != nullptr && value->focused;
}

std::string TextScreen::CellText(int row, int column) {
    Row* value = FindRow(row);
    if (value == nullptr || column < 0) {
        return {};
    }
    if (value->callback) {
        return events_ == nullptr ? std::string{}
                                  : std::string(events_->GetCellText(column, value->itemData));
    }
    auto index = static_cast<std::size_t>(column);
    return index < value->texts.size() ? value->texts[index] : std::string{};
}

void TextScreen::RightClickList(int row) {
    lastPopup_.clear();
    if (!IsListItemSelected(row)) {
        for (Row& other : rows_) {
            other.selected = false;
        }
    }
    SetListItemState(row, true, true);
    cursorRow_ = row;
    if (events_ != nullptr) {
        events_->OnListRightClick();
    }
    cursorRow_ = -1;
}

void TextScreen::SelectListRows(int first, int last) {
    for (Row& other : rows_) {
        other.selected = false;
    }
    for (int row = std::min(first, last); row <= std::max(first, last); ++row) {
        SetListItemState(row, true, false);
    }
    SetListItemState(last, true, true);
}

void TextScreen::DoubleClickList(int row) {
    for (Row& other : rows_) {
        other.selected = false;
    }
    SetListItemState(row, true, true);
    cursorRow_ = row;
    if (events_ != nullptr) {
        events_->OnListDoubleClick();
    }
    cursorRow_ = -1;
}

// ---- Status bar, menu, message boxes ----

void TextScreen::SetStatusText(int pane, std::string_view text) {
    status_[pane == 0 ? 0 : 1] = std::string(text);
}

void TextScreen::SetMenuChecked(int command, bool checked) {
    if (checked) {
        checked_.insert(command);
    } else {
        checked_.erase(command);
    }
}

void TextScreen::Notify(std::string_view text) {
    Print("message: " + EscapeText(text));
}

bool TextScreen::Confirm(std::string_view text) {
    bool yes = false;
    if (!answers_.empty()) {
        yes = answers_.front();
        answers_.pop_front();
    }
    Print("confirm: " + EscapeText(text) + (yes ? " -> yes" : " -> no"));
    return yes;
}

int TextScreen::ShowPopupMenu(const std::vector<PopupEntry>& entries) {
    lastPopup_ = entries;
    return 0;
}

void TextScreen::ShowDocument(std::string_view path) {
    std::ifstream document{std::string(path)};
    Print(document ? "document: " + EscapeText(path) : "message: " + EscapeText(kUsageMissingText));
}

bool TextScreen::EditBytesDialog(EditBytes& bytes) {
    std::optional<BoxTexts> boxes = std::move(nextEdit_);
    nextEdit_.reset();
    Print("dialog: " + std::string(kByteDialogTitle) + (boxes ? " -> OK" : " -> Cancel"));
    if (!boxes) {
        return false;
    }
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const std::string& text = (*boxes)[n];
        ParseByteBox(text == kKeepBox ? ByteBoxText(bytes[n]) : text, bytes[n]);
    }
    return true;
}

std::string TextScreen::AskHostFile(std::string_view title, bool) {
    Print("dialog: " + EscapeText(title) + " -> Cancel");
    return {};
}

void TextScreen::RunLongWork(std::string_view, const LongWork& work) {
    const CancelFlag cancel{false};
    work([](const WorkProgress&) {}, cancel);
}

std::optional<std::string> TextScreen::AskLine(std::string_view title, std::string_view) {
    std::optional<std::string> line = std::move(nextLine_);
    nextLine_.reset();
    Print("dialog: " + EscapeText(title) + (line ? " -> OK" : " -> Cancel"));
    return line;
}

std::optional<SearchRequest> TextScreen::AskSearchPattern(std::string_view title) {
    std::optional<SearchRequest> request = std::move(nextSearch_);
    nextSearch_.reset();
    Print("dialog: " + EscapeText(title) + (request ? " -> OK" : " -> Cancel"));
    return request;
}

}  // namespace brovane

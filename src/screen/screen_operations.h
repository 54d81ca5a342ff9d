// The operations through which the disk logic reaches the screen: the tree
// pane, the list pane, the two-pane status bar, the menu's check marks,
// message boxes and pop-up menus. Two front-ends implement them, the Qt GUI
// and the in-memory text front-end that brovane-batch and the tests share.
//
// Notifications travel the other way: the front-end calls the ScreenEvents
// that the core hands it, synchronously, as the user acts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screen/byte_boxes.h"
#include "screen/long_work.h"
#include "screen/search_request.h"

namespace brovane {

// The record a tree item carries; the screen only keeps its address.
struct TreeItemInfo;

// A tree item. kNoTreeItem doubles as the root when it names a parent.
using TreeItemHandle = std::uintptr_t;
inline constexpr TreeItemHandle kNoTreeItem = 0;
inline constexpr TreeItemHandle kTreeRoot = 0;
// As the sibling to insert after: behind the parent's last child.
inline constexpr TreeItemHandle kInsertLast = ~TreeItemHandle{0};

enum class ColumnAlign { Left, Right, Center };

struct PopupEntry {
    int command;
    std::string text;
};

// Status-bar panes: progress text, then position text.
inline constexpr int kProgressPane = 0;
inline constexpr int kPositionPane = 1;

class ScreenOperations {
  public:
    virtual ~ScreenOperations() = default;

    // Tree pane. Items carry a text (copied) or a text callback, a flag that
    // shows an expand button before any child exists, and the record's address.
    virtual TreeItemHandle InsertTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                          std::string_view text, bool hasChildren,
                                          TreeItemInfo* info) = 0;
    virtual TreeItemHandle InsertCallbackTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                                  bool hasChildren, TreeItemInfo* info) = 0;
    virtual void DeleteAllTreeItems() = 0;
    virtual TreeItemHandle GetCaretItem() = 0;
    // Makes item the caret (kNoTreeItem: none); the selection-changed
    // notification arrives before this returns when the caret changes.
    virtual void SelectTreeItem(TreeItemHandle item) = 0;
    // The item under the cursor, or kNoTreeItem.
    virtual TreeItemHandle HitTestTreeAtCursor() = 0;
    virtual TreeItemInfo* GetTreeItemInfo(TreeItemHandle item) = 0;

    // List pane, report style with full-row selection.
    virtual void DeleteAllListItems() = 0;
    virtual int GetListColumnCount() = 0;
    virtual void DeleteListColumn(int column) = 0;
    virtual void InsertListColumn(int column, std::string_view heading, ColumnAlign align,
                                  int width) = 0;
    // Rows with a stored text in column 0, or with every cell asked of
    // ScreenEvents::GetCellText with the row's item data. Answer the index.
    virtual int InsertListItem(int row, std::string_view text) = 0;
    virtual int InsertCallbackListItem(int row, std::uintptr_t itemData) = 0;
    virtual void SetListItemText(int row, int column, std::string_view text) = 0;
    virtual void SetListItemState(int row, bool selected, bool focused) = 0;
    virtual int GetListItemCount() = 0;
    virtual bool IsListItemSelected(int row) = 0;
    virtual bool IsListItemFocused(int row) = 0;
    // The row under the cursor, or -1.
    virtual int HitTestListAtCursor() = 0;
    // Callback cells of these rows are asked again.
    virtual void RedrawListItems(int first, int last) = 0;

    // Status bar.
    virtual void SetStatusText(int pane, std::string_view text) = 0;

    // Menu check marks: the only record of the two dumping modes.
    virtual bool IsMenuChecked(int command) = 0;
    virtual void SetMenuChecked(int command, bool checked) = 0;

    // Message boxes with the application title as caption: notify (OK), and
    // confirm (Yes/No), which answers true for yes.
    virtual void Notify(std::string_view text) = 0;
    virtual bool Confirm(std::string_view text) = 0;

    // A pop-up menu at the cursor; answers the chosen command, or 0.
    virtual int ShowPopupMenu(const std::vector<PopupEntry>& entries) = 0;

    // Shows the text document at path in a window of its own.
    virtual void ShowDocument(std::string_view path) = 0;

    // The modal byte dialog "Enter Bytes to Change": its sixteen boxes show
    // the bytes; on OK the boxes are parsed back into them (ParseByteBox) and
    // the answer is true, on Cancel they are left alone and it is false.
    virtual bool EditBytesDialog(EditBytes& bytes) = 0;
    // A file of the host that the user names, to write (an image) or to
    // read (a mapfile); empty when none is named.
    virtual std::string AskHostFile(std::string_view title, bool forWriting) = 0;
    // A folder of the host that the user names; empty when none is named.
    virtual std::string AskHostFolder(std::string_view title) = 0;
    // Runs the work to its end with a progress dialog whose Cancel sets the
    // work's cancel flag. The GUI runs it off its own thread and keeps the
    // window responsive; the work touches nothing of the screen.
    virtual void RunLongWork(std::string_view title, const LongWork& work) = 0;
    // A modal dialog with one line of text to type; nothing on Cancel.
    virtual std::optional<std::string> AskLine(std::string_view title, std::string_view prompt) = 0;
    // The Find dialog: a pattern of hexadecimal bytes or of text, matched
    // with or without regard to case; nothing on Cancel.
    virtual std::optional<SearchRequest> AskSearchPattern(std::string_view title) = 0;
    // The clipboard's text, 8-bit as the screen's other texts.
    virtual void SetClipboardText(std::string_view text) = 0;
    virtual std::string ClipboardText() = 0;
};

// What the core answers to the panes' notifications.
//
// Text lifetime: a text answered by GetTreeItemText or GetCellText stays
// valid only until the next call of any ScreenEvents function on the same
// object (the core may answer every cell from one reused buffer). A
// front-end copies it before it asks for another text or passes on an event.
class ScreenEvents {
  public:
    virtual ~ScreenEvents() = default;

    // Tree pane.
    virtual void OnTreeSelectionChanged(TreeItemInfo* info) = 0;
    // True allows the expansion, false refuses it (the item stays collapsed
    // and is asked again next time). expandedOnce is set from the first
    // allowed expansion on.
    virtual bool OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo* info,
                                     bool expandedOnce) = 0;
    virtual std::string_view GetTreeItemText(const TreeItemInfo* info) = 0;
    virtual void OnTreeRightClick() = 0;

    // List pane.
    virtual std::string_view GetCellText(int column, std::uintptr_t itemData) = 0;
    virtual void OnListDoubleClick() = 0;
    virtual void OnListRightClick() = 0;

    // A command chosen from a menu, the toolbar, an accelerator or a pop-up.
    virtual void OnCommand(int command) = 0;
};

}  // namespace brovane

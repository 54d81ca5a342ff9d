// The screen operations on the Qt widgets of the main window: the tree and
// list panes, the status bar, the menu's check marks, message boxes and
// pop-up menus. Message boxes and pop-up menus can be answered by a test
// instead of a person: when a hook is set it gets the prepared box or menu
// and answers for it.
#pragma once

#include <QMessageBox>
#include <functional>

#include "screen/screen_operations.h"

class QAction;
class QDialog;
class QMenu;

namespace brovane {

class CMainFrame;

class QtScreen : public ScreenOperations {
  public:
    // Answers the button pressed.
    using MessageAnswerer = std::function<QMessageBox::StandardButton(QMessageBox& box)>;
    // Answers the entry chosen, or nullptr.
    using PopupChooser = std::function<QAction*(QMenu& menu)>;
    // Runs a modal dialog the core opened and answers its result.
    using DialogRunner = std::function<int(QDialog& dialog)>;

    // The frame's widgets are the screen from now on.
    void Attach(CMainFrame* frame) { frame_ = frame; }
    void SetEvents(ScreenEvents* events);
    void SetMessageAnswerer(MessageAnswerer answerer) { answerer_ = std::move(answerer); }
    void SetPopupChooser(PopupChooser chooser) { chooser_ = std::move(chooser); }
    void SetDialogRunner(DialogRunner runner) { dialogRunner_ = std::move(runner); }

    TreeItemHandle InsertTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                  std::string_view text, bool hasChildren,
                                  TreeItemInfo* info) override;
    TreeItemHandle InsertCallbackTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                          bool hasChildren, TreeItemInfo* info) override;
    void DeleteAllTreeItems() override;
    TreeItemHandle GetCaretItem() override;
    void SelectTreeItem(TreeItemHandle item) override;
    TreeItemHandle HitTestTreeAtCursor() override;
    TreeItemInfo* GetTreeItemInfo(TreeItemHandle item) override;

    void DeleteAllListItems() override;
    int GetListColumnCount() override;
    void DeleteListColumn(int column) override;
    void InsertListColumn(int column, std::string_view heading, ColumnAlign align,
                          int width) override;
    int InsertListItem(int row, std::string_view text) override;
    int InsertCallbackListItem(int row, std::uintptr_t itemData) override;
    void SetListItemText(int row, int column, std::string_view text) override;
    void SetListItemState(int row, bool selected, bool focused) override;
    int GetListItemCount() override;
    bool IsListItemSelected(int row) override;
    bool IsListItemFocused(int row) override;
    int HitTestListAtCursor() override;
    void RedrawListItems(int first, int last) override;

    void SetStatusText(int pane, std::string_view text) override;

    bool IsMenuChecked(int command) override;
    void SetMenuChecked(int command, bool checked) override;

    void Notify(std::string_view text) override;
    bool Confirm(std::string_view text) override;
    int ShowPopupMenu(const std::vector<PopupEntry>& entries) override;
    void ShowDocument(std::string_view path) override;
    bool EditBytesDialog(EditBytes& bytes) override;
    std::string AskHostFile(std::string_view title, bool forWriting) override;
    std::string AskHostFolder(std::string_view title) override;
    void RunLongWork(std::string_view title, const LongWork& work) override;
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt) override;
    std::optional<SearchRequest> AskSearchPattern(std::string_view title) override;
    void SetClipboardText(std::string_view text) override;
    std::string ClipboardText() override;

  private:
    int RunDialog(QDialog& dialog);
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, std::string_view text,
                                    QMessageBox::StandardButtons buttons);

    CMainFrame* frame_ = nullptr;
    MessageAnswerer answerer_;
    PopupChooser chooser_;
    DialogRunner dialogRunner_;
    SearchRequest lastSearch_{"", false, false};  // the Find dialog opens with it
};

}  // namespace brovane

#include "gui/qt_screen.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QSplitter>
#include <algorithm>

#include "gui/byte_edit_dialog.h"
#include "gui/find_dialog.h"
#include "gui/latin1_text.h"
#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/progress_dialog.h"
#include "gui/quorvel_view.h"
#include "gui/usage_dialog.h"
#include "screen/command_table.h"

namespace brovane {

void QtScreen::SetEvents(ScreenEvents* events) {
    frame_->SetEvents(events);
}

// ---- Tree pane ----

TreeItemHandle QtScreen::InsertTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                        std::string_view text, bool hasChildren,
                                        TreeItemInfo* info) {
    return frame_->LeftView()->Model().Insert(parent, after, text, false, hasChildren, info);
}

TreeItemHandle QtScreen::InsertCallbackTreeItem(TreeItemHandle parent, TreeItemHandle after,
                                                bool hasChildren, TreeItemInfo* info) {
    return frame_->LeftView()->Model().Insert(parent, after, {}, true, hasChildren, info);
}

void QtScreen::DeleteAllTreeItems() {
    frame_->LeftView()->DeleteAllItems();
}

TreeItemHandle QtScreen::GetCaretItem() {
    return frame_->LeftView()->Caret();
}

void QtScreen::SelectTreeItem(TreeItemHandle item) {
    frame_->LeftView()->Select(item);
}

TreeItemHandle QtScreen::HitTestTreeAtCursor() {
    return frame_->LeftView()->HitTestAtCursor();
}

TreeItemInfo* QtScreen::GetTreeItemInfo(TreeItemHandle item) {
    return frame_->LeftView()->Model().InfoOf(item);
}

// ---- List pane ----

void QtScreen::DeleteAllListItems() {
    frame_->ListView()->Model().RemoveAllRows();
}

int QtScreen::GetListColumnCount() {
    return static_cast<int>(frame_->ListView()->Model().Columns().size());
}

void QtScreen::DeleteListColumn(int column) {
    frame_->ListView()->Model().RemoveColumn(column);
}

void QtScreen::InsertListColumn(int column, std::string_view heading, ColumnAlign align,
                                int width) {
    frame_->ListView()->InsertColumn(column, heading, align, width);
}

int QtScreen::InsertListItem(int row, std::string_view text) {
    return frame_->ListView()->Model().InsertRow(row, text);
}

int QtScreen::InsertCallbackListItem(int row, std::uintptr_t itemData) {
    return frame_->ListView()->Model().InsertCallbackRow(row, itemData);
}

void QtScreen::SetListItemText(int row, int column, std::string_view text) {
    frame_->ListView()->Model().SetText(row, column, text);
}

void QtScreen::SetListItemState(int row, bool selected, bool focused) {
    frame_->ListView()->SetRowState(row, selected, focused);
}

int QtScreen::GetListItemCount() {
    return frame_->ListView()->Model().RowTotal();
}

bool QtScreen::IsListItemSelected(int row) {
    return frame_->ListView()->IsRowSelected(row);
}

bool QtScreen::IsListItemFocused(int row) {
    return frame_->ListView()->IsRowFocused(row);
}

int QtScreen::HitTestListAtCursor() {
    return frame_->ListView()->HitTestAtCursor();
}

void QtScreen::RedrawListItems(int first, int last) {
    frame_->ListView()->Model().Redraw(first, last);
}

// ---- Status bar and menu ----

void QtScreen::SetStatusText(int pane, std::string_view text) {
    frame_->SetStatusText(pane, text);
}

bool QtScreen::IsMenuChecked(int command) {
    QAction* action = frame_->CommandAction(command);
    return action != nullptr && action->isChecked();
}

void QtScreen::SetMenuChecked(int command, bool checked) {
    if (QAction* action = frame_->CommandAction(command)) {
        action->setChecked(checked);
    }
}

// ---- Message boxes and pop-up menus ----

QMessageBox::StandardButton QtScreen::Ask(QMessageBox::Icon icon, std::string_view text,
                                          QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, Latin1(kAppTitle), Latin1(text), buttons, frame_);
    box.setTextFormat(Qt::PlainText);
    if (answerer_) {
        return answerer_(box);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtScreen::Notify(std::string_view text) {
    Ask(QMessageBox::Warning, text, QMessageBox::Ok);
}

bool QtScreen::Confirm(std::string_view text) {
    return Ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The chosen command also goes to the frame's routing once the right-click
// notification that showed the menu has returned, as a menu's command
// would arrive.
int QtScreen::ShowPopupMenu(const std::vector<PopupEntry>& entries) {
    if (entries.empty()) {
        return 0;
    }
    QMenu menu(frame_->Splitter());
    for (const PopupEntry& entry : entries) {
        menu.addAction(Latin1(entry.text))->setData(entry.command);
    }
    QAction* chosen = chooser_ ? chooser_(menu) : menu.exec(frame_->Cursor().GlobalPosition());
    int command = chosen == nullptr ? 0 : chosen->data().toInt();
    if (command != 0) {
        QMetaObject::invokeMethod(
            frame_, [frame = frame_, command] { frame->RouteCommand(command); },
            Qt::QueuedConnection);
    }
    return command;
}

int QtScreen::RunDialog(QDialog& dialog) {
    return dialogRunner_ ? dialogRunner_(dialog) : dialog.exec();
}

void QtScreen::ShowDocument(std::string_view path) {
    QFile file(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
    if (!file.open(QIODevice::ReadOnly)) {
        Notify(kUsageMissingText);
        return;
    }
    CUsageDlg dialog(QString::fromLatin1(file.readAll()), frame_);
    RunDialog(dialog);
}

bool QtScreen::EditBytesDialog(EditBytes& bytes) {
    CByteEditDlg dialog(bytes, frame_);
    if (RunDialog(dialog) != QDialog::Accepted) {
        return false;
    }
    bytes = dialog.Bytes();
    return true;
}

// Our own dialog rather than the desktop's, so that a test can fill it; the
// core asks before it replaces a file, so the dialog does not.
std::string QtScreen::AskHostFile(std::string_view title, bool forWriting) {
    QFileDialog dialog(frame_, Latin1(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(forWriting ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forWriting ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

std::string QtScreen::AskHostFolder(std::string_view title) {
    QFileDialog dialog(frame_, Latin1(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

void QtScreen::RunLongWork(std::string_view title, const LongWork& work) {
    CProgressDlg dialog(Latin1(title), work, frame_);
    RunDialog(dialog);
}

std::optional<std::string> QtScreen::AskLine(std::string_view title, std::string_view prompt) {
    QInputDialog dialog(frame_);
    dialog.setWindowTitle(Latin1(title));
    dialog.setLabelText(Latin1(prompt));
    if (RunDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue().toLatin1().toStdString();
}

std::optional<SearchRequest> QtScreen::AskSearchPattern(std::string_view title) {
    CFindDlg dialog(Latin1(title), lastSearch_, frame_);
    if (RunDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    // Text is searched for as the disk's 8-bit bytes.
    const QString text = dialog.Text();
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; })) {
        Notify("Only Latin-1 characters can be searched for.");
        return std::nullopt;
    }
    lastSearch_ = dialog.Request();
    return lastSearch_;
}

// ---- Clipboard ----

void QtScreen::SetClipboardText(std::string_view text) {
    QGuiApplication::clipboard()->setText(Latin1(text));
}

// Characters beyond Latin-1 become '?', as the other texts typed in.
std::string QtScreen::ClipboardText() {
    return QGuiApplication::clipboard()->text().toLatin1().toStdString();
}

}  // namespace brovane

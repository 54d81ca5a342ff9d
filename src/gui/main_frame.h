// CMainFrame: the main window. A toolbar, a status bar of two panes
// (progress text in the first, 200 pixels wide; position text in the rest)
// and a splitter with the tree pane left and the list pane right. It routes
// every command: the window's own ones (exit, toolbar, status bar, About,
// next and previous pane, list style) it runs itself, the rest go to the
// core, and a disabled command goes nowhere. Closing it releases disk
// access first.
#pragma once

#include <QMainWindow>
#include <string_view>

#include "gui/command_actions.h"
#include "gui/pane_cursor.h"
#include "screen/screen_operations.h"

class QLabel;
class QSplitter;

namespace brovane {

class CLeftView;
class CQuorvelView;
class Session;

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainFrame(Session& session);

    // Where commands and pane notifications go.
    void SetEvents(ScreenEvents* events);

    CLeftView* LeftView() const { return leftView_; }
    CQuorvelView* ListView() const { return listView_; }
    QSplitter* Splitter() const { return splitter_; }
    QToolBar* ToolBar() const { return commands_->ToolBar(); }
    QLabel* StatusPane(int pane) const;
    QAction* CommandAction(int command) const { return commands_->Action(command); }
    PaneCursor& Cursor() { return cursor_; }

    void SetStatusText(int pane, std::string_view text);
    // The core's state plus the window's own.
    CommandState CurrentCommandState();
    void RouteCommand(int command);
    // Releases disk access unless that was done already.
    void ReleaseDiskAccessOnce();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateStatusBar();
    void CreateSplitter();
    // Answers false for a command that is not the window's own.
    bool RunFrameCommand(int command);
    void FocusOtherPane();

    Session& session_;
    ScreenEvents* events_ = nullptr;
    PaneCursor cursor_;
    CommandActions* commands_ = nullptr;
    QLabel* statusPanes_[2] = {nullptr, nullptr};
    QSplitter* splitter_ = nullptr;
    CLeftView* leftView_ = nullptr;
    CQuorvelView* listView_ = nullptr;
    bool released_ = false;
};

}  // namespace brovane

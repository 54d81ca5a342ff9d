#include "gui/main_frame.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QLabel>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "app/command_state.h"
#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "gui/about_dialog.h"
#include "gui/latin1_text.h"
#include "gui/left_view.h"
#include "gui/quorvel_view.h"

namespace brovane {

namespace {

constexpr int kProgressPaneWidth = 200;
constexpr int kTreePaneWidth = 100;
constexpr QSize kInitialSize(800, 560);

}  // namespace

CMainFrame::CMainFrame(Session& session) : session_(session) {
    setWindowIcon(QIcon(QStringLiteral(":/res/brovane.xpm")));
    // No window-made menu of toolbars: the View menu toggles the one toolbar.
    setContextMenuPolicy(Qt::NoContextMenu);
    commands_ = new CommandActions(
        *this, [this](int command) { RouteCommand(command); },
        [this] { return CurrentCommandState(); });
    CreateStatusBar();
    CreateSplitter();
    resize(kInitialSize);
    splitter_->setSizes({kTreePaneWidth, kInitialSize.width() - kTreePaneWidth});
    // The toolbar's enabling follows the state whenever the event loop goes idle.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { commands_->Update(); });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    for (QLabel*& pane : statusPanes_) {
        pane = new QLabel(bar);
        pane->setTextFormat(Qt::PlainText);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    statusPanes_[kProgressPane]->setFixedWidth(kProgressPaneWidth);
    bar->addWidget(statusPanes_[kProgressPane]);
    bar->addWidget(statusPanes_[kPositionPane], 1);
}

void CMainFrame::CreateSplitter() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    leftView_ = new CLeftView(cursor_, splitter_);
    listView_ = new CQuorvelView(cursor_, splitter_);
    splitter_->addWidget(leftView_);
    splitter_->addWidget(listView_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);
}

void CMainFrame::SetEvents(ScreenEvents* events) {
    events_ = events;
    leftView_->SetEvents(events);
    listView_->SetEvents(events);
}

QLabel* CMainFrame::StatusPane(int pane) const {
    return statusPanes_[pane == kProgressPane ? kProgressPane : kPositionPane];
}

void CMainFrame::SetStatusText(int pane, std::string_view text) {
    StatusPane(pane)->setText(Latin1(text));
}

CommandState CMainFrame::CurrentCommandState() {
    WindowState window{!ToolBar()->isHidden(), !statusBar()->isHidden(), ListStyle::Report};
    return BuildCommandState(session_.disk, session_.pane, session_.screen, window);
}

void CMainFrame::RouteCommand(int command) {
    if (FindCommand(command) != nullptr && !IsCommandEnabled(command, CurrentCommandState())) {
        return;
    }
    if (RunFrameCommand(command)) {
        commands_->Update();
        return;
    }
    if (events_ != nullptr) {
        events_->OnCommand(command);
    }
}

bool CMainFrame::RunFrameCommand(int command) {
    switch (command) {
        case CMD_APP_EXIT:
            close();
            return true;
        case CMD_VIEW_TOOLBAR:
            ToolBar()->setVisible(ToolBar()->isHidden());
            return true;
        case CMD_VIEW_STATUS_BAR:
            statusBar()->setVisible(statusBar()->isHidden());
            return true;
        case CMD_APP_ABOUT: {
            CAboutDlg about(this);
            about.exec();
            return true;
        }
        case CMD_NEXT_PANE:
        case CMD_PREV_PANE:
            FocusOtherPane();
            return true;
        case CMD_VIEW_DETAILS:
            // The list pane is always in report style already.
            return true;
        default:
            return false;
    }
}

// With two panes the next and the previous pane are the same one.
void CMainFrame::FocusOtherPane() {
    QWidget* focused = focusWidget();
    bool inList = focused != nullptr && (focused == listView_ || listView_->isAncestorOf(focused));
    QWidget* target = inList ? static_cast<QWidget*>(leftView_) : listView_;
    target->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::ReleaseDiskAccessOnce() {
    if (!released_) {
        released_ = true;
        ReleaseDiskAccess(session_);
    }
}

void CMainFrame::showEvent(QShowEvent* event) {
    commands_->Update();
    QMainWindow::showEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    ReleaseDiskAccessOnce();
    QMainWindow::closeEvent(event);
}

}  // namespace brovane

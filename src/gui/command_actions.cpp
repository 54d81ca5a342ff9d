#include "gui/command_actions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

#include "gui/latin1_text.h"

namespace brovane {

namespace {

struct ToolBarImage {
    int command;
    const char* resource;
};

// The toolbar's four images, by the command of their button.
constexpr ToolBarImage kToolBarImages[] = {
    {CMD_VIEW_DETAILS, ":/res/details.xpm"},
    {CMD_PREVIOUS, ":/res/previous.xpm"},
    {CMD_NEXT, ":/res/next.xpm"},
    {CMD_APP_ABOUT, ":/res/about.xpm"},
};

const char* ToolBarImageOf(int command) {
    for (const ToolBarImage& image : kToolBarImages) {
        if (image.command == command) {
            return image.resource;
        }
    }
    return nullptr;
}

// A command carries a check mark when the table checks it in some state;
// with every flag on, each such command answers checked.
bool IsCheckCommand(int command) {
    CommandState everyMarkSet;
    everyMarkSet.sectorDumpingChecked = true;
    everyMarkSet.rawDumpingChecked = true;
    everyMarkSet.toolbarVisible = true;
    everyMarkSet.statusBarVisible = true;
    everyMarkSet.listStyle = ListStyle::Report;
    return IsCommandChecked(command, everyMarkSet);
}

}  // namespace

CommandActions::CommandActions(QMainWindow& frame, Router route, StateSource state)
    : QObject(&frame), route_(std::move(route)), state_(std::move(state)) {
    BuildMenus(frame);
    BuildToolBar(frame);
    BuildShortcuts(frame);
}

QAction* CommandActions::Action(int command) const {
    auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

QAction* CommandActions::MakeAction(int command, const QString& text) {
    if (QAction* existing = Action(command)) {
        return existing;
    }
    auto* action = new QAction(text, this);
    action->setData(command);
    action->setCheckable(IsCheckCommand(command));
    if (const CommandInfo* info = FindCommand(command)) {
        action->setToolTip(Latin1(ToolTip(*info)));
    }
    connect(action, &QAction::triggered, this,
            [this, action](bool checked) { OnTriggered(action, checked); });
    actions_.emplace(command, action);
    return action;
}

void CommandActions::BuildMenus(QMainWindow& frame) {
    QMenu* menu = nullptr;
    std::string_view title;
    for (const MenuItem& item : MainMenu()) {
        if (menu == nullptr || item.menu != title) {
            title = item.menu;
            menu = frame.menuBar()->addMenu(Latin1(title));
            connect(menu, &QMenu::aboutToShow, this, &CommandActions::Update);
        }
        if (item.command == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(MakeAction(item.command, Latin1(item.text)));
        }
    }
}

void CommandActions::BuildToolBar(QMainWindow& frame) {
    toolBar_ = frame.addToolBar(QStringLiteral("Standard"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    for (int command : ToolbarButtons()) {
        if (command == 0) {
            toolBar_->addSeparator();
            continue;
        }
        const CommandInfo* info = FindCommand(command);
        QAction* action = MakeAction(command, info == nullptr ? QString() : Latin1(ToolTip(*info)));
        if (const char* image = ToolBarImageOf(command)) {
            action->setIcon(QIcon(QString::fromLatin1(image)));
        }
        toolBar_->addAction(action);
    }
}

// Accelerators run through the routing, which drops a disabled command.
void CommandActions::BuildShortcuts(QMainWindow& frame) {
    for (const Accelerator& accelerator : Accelerators()) {
        auto* shortcut = new QShortcut(QKeySequence::fromString(Latin1(accelerator.key)), &frame);
        int command = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, command] { route_(command); });
    }
}

// Qt flips a checkable action's mark by itself before this runs; the mark
// is the command handler's to change, so it is put back first.
void CommandActions::OnTriggered(QAction* action, bool checked) {
    if (action->isCheckable()) {
        QSignalBlocker blocker(action);
        action->setChecked(!checked);
    }
    route_(action->data().toInt());
}

void CommandActions::Update() {
    CommandState state = state_();
    for (auto& [command, action] : actions_) {
        bool enabled = IsCommandEnabled(command, state);
        if (action->isEnabled() != enabled) {
            action->setEnabled(enabled);
        }
        // The dumping marks are the state itself; the others follow the window.
        bool checked = IsCommandChecked(command, state);
        if (action->isCheckable() && action->isChecked() != checked) {
            action->setChecked(checked);
        }
    }
}

}  // namespace brovane

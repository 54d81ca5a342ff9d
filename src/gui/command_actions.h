// The main window's commands as Qt objects, all made from the command
// table: one QAction per command of the menus and the toolbar, carrying the
// command number in data(); the menus in order; the toolbar's buttons; one
// shortcut per accelerator. Every choice goes to one routing function, and
// the enabling and check marks are set from a CommandState.
#pragma once

#include <QObject>
#include <functional>
#include <map>

#include "screen/command_table.h"

class QAction;
class QMainWindow;
class QToolBar;

namespace brovane {

class CommandActions : public QObject {
    Q_OBJECT

  public:
    using Router = std::function<void(int command)>;
    using StateSource = std::function<CommandState()>;

    // Adds the menus, the toolbar and the shortcuts to frame.
    CommandActions(QMainWindow& frame, Router route, StateSource state);

    // nullptr for a command with no menu item or toolbar button.
    QAction* Action(int command) const;
    QToolBar* ToolBar() const { return toolBar_; }
    // Sets every action's enabling and check mark from the current state.
    void Update();

  private:
    QAction* MakeAction(int command, const QString& text);
    void BuildMenus(QMainWindow& frame);
    void BuildToolBar(QMainWindow& frame);
    void BuildShortcuts(QMainWindow& frame);
    void OnTriggered(QAction* action, bool checked);

    Router route_;
    StateSource state_;
    std::map<int, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
};

}  // namespace brovane

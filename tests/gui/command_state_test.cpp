// The GUI and brovane-batch take their enabling and check marks from the
// same command state: in the same state, every command the batch `menu`
// lists is enabled and checked alike on the GUI's actions.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <sstream>

#include "app/disk_lifecycle.h"
#include "batch/batch_runner.h"
#include "gui_harness.h"

using namespace brovane;

namespace {

// A state both front-ends are put in: the two dumping marks and paging flags.
struct StateCase {
    bool raw;
    bool sector;
    bool previous;
    bool next;
};

void Apply(const StateCase& state, ScreenOperations& screen, RightPaneState& pane) {
    screen.SetMenuChecked(CMD_RAW_DUMPING, state.raw);
    screen.SetMenuChecked(CMD_SECTOR_DUMPING, state.sector);
    pane.canGoPrevious = state.previous;
    pane.canGoNext = state.next;
}

// Opening each menu, as the user does, updates the enabling from the state.
void OpenEveryMenu(CMainFrame& frame) {
    for (QAction* title : frame.menuBar()->actions()) {
        title->menu()->popup(QPoint(0, 0));
        title->menu()->hide();
    }
}

std::string GuiMenu(CMainFrame& frame) {
    CommandState state = frame.CurrentCommandState();
    std::ostringstream out;
    for (const CommandInfo& info : Commands()) {
        QAction* action = frame.CommandAction(info.id);
        // Commands without a menu item or button are reached by their key alone.
        bool enabled = action != nullptr ? action->isEnabled() : IsCommandEnabled(info.id, state);
        bool checked = action != nullptr && action->isCheckable() && action->isChecked();
        out << info.id << (enabled ? " enabled" : " disabled") << (checked ? " checked" : "")
            << '\n';
    }
    return out.str();
}

}  // namespace

class CommandStateTest : public QObject {
    Q_OBJECT

  private slots:
    void guiAndBatchAgreeInEveryState() {
        GuiHarness gui(1, 1);
        gui.Start();
        MemoryPlatform platform;
        platform.AddFloppy(2880);
        platform.AddHardDisk(20480);
        TextScreen screen;
        Session session(platform, screen);
        screen.SetEvents(&session);
        InitDiskAccess(session);
        std::ostringstream out;
        BatchRunner runner(screen, session, out);

        const StateCase cases[] = {{false, false, false, false},
                                   {true, false, false, true},
                                   {false, true, true, false},
                                   {true, true, true, true}};
        for (const StateCase& state : cases) {
            Apply(state, gui.Screen(), gui.app.GetSession().pane);
            Apply(state, screen, session.pane);
            OpenEveryMenu(gui.Frame());
            std::istringstream script("menu\n");
            std::ostringstream err;
            out.str("");
            QCOMPARE(runner.RunScript(script, err), 0);
            QCOMPARE(QString::fromStdString(GuiMenu(gui.Frame())),
                     QString::fromStdString(out.str()));
        }
        // The states really differ: Next follows the flag on both sides.
        QVERIFY(gui.Frame().CommandAction(CMD_NEXT)->isEnabled());
    }
};

QTEST_MAIN(CommandStateTest)
#include "command_state_test.moc"

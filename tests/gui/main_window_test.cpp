// The main window: start-up, menus, enabling as brovane-batch has it,
// accelerators, toolbar, status bar, the About box, pane focus, message
// boxes, pop-up menus, closing and a screenshot.
#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <sstream>

#include "app/disk_lifecycle.h"
#include "batch/batch_runner.h"
#include "gui/about_dialog.h"
#include "gui/left_view.h"
#include "gui/quorvel_view.h"
#include "gui_harness.h"

using namespace brovane;

namespace {

struct ExpectedItem {
    const char* text;  // nullptr for a separator
    int command;
    bool enabledWhenReady;
};

struct ExpectedMenu {
    const char* title;
    std::vector<ExpectedItem> items;
};

// The menu bar as the user sees it, with disk access set up.
const std::vector<ExpectedMenu> kExpectedMenus = {
    {"&File", {{"E&xit", 57665, true}}},
    {"&View", {{"&Toolbar", 59392, true}, {"&Status Bar", 59393, true}}},
    {"&Action",
     {{"R&efresh Disks\tF5", 32774, true},
      {"&Go to a Sector\tCtrl+G", 32781, false},
      {nullptr, 0, false},
      {"&Sector/Cluster Dumping\tCtrl+F4", 32775, true},
      {"Raw Sector &Dumping\tF4", 32780, true}}},
    {"&Changes", {{"&Write Changes", 32778, true}}},
    {"&Help",
     {{"&Usage\tF1", 32782, true}, {nullptr, 0, false}, {"&About Brovane...", 57664, true}}},
};

// Runs the event loop until it has gone idle at least once.
void RunUntilIdle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

void Activate(CMainFrame& frame) {
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
}

// Opens each menu as the user would, which updates its items' enabling.
void OpenEveryMenu(CMainFrame& frame) {
    for (QAction* title : frame.menuBar()->actions()) {
        title->menu()->popup(QPoint(0, 0));
        title->menu()->hide();
    }
}

std::vector<QString> RootTexts(CMainFrame& frame) {
    TreeModel& model = frame.LeftView()->Model();
    std::vector<QString> texts;
    for (int row = 0; row < model.rowCount({}); ++row) {
        texts.push_back(model.index(row, 0, {}).data().toString());
    }
    return texts;
}

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

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startUpListsEveryDiskAndLeavesProgressEmpty() {
        GuiHarness gui(2, 2);
        gui.Start();
        CMainFrame& frame = gui.Frame();
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.windowTitle(),
                 QStringLiteral("Brovane, for Windows 95/98/ME, Windows NT/2000"));
        QCOMPARE(QCoreApplication::organizationName(),
                 QStringLiteral("Local AppWizard-Generated Applications"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Brovane"));
        std::vector<QString> expected = {"Floppy Disk 1", "Floppy Disk 2", "Hard Disk 1",
                                         "Hard Disk 2"};
        QCOMPARE(RootTexts(frame), expected);
        QVERIFY(frame.LeftView()->Model().hasChildren(frame.LeftView()->Model().index(0, 0, {})));
        QCOMPARE(frame.StatusPane(0)->text(), QString());
        QCOMPARE(frame.StatusPane(0)->width(), 200);
        QVERIFY(frame.StatusPane(1)->width() > 200);
        QCOMPARE(frame.Splitter()->sizes().front(), 100);
        QCOMPARE(frame.ListView()->Model().rowCount({}), 0);
        QVERIFY(gui.messages.empty());
        QVERIFY(gui.events.selections.empty());
    }

    void menusHoldTheirItemsInOrderWithEnabling() {
        GuiHarness gui(1, 1);
        gui.Start();
        OpenEveryMenu(gui.Frame());
        QList<QAction*> titles = gui.Frame().menuBar()->actions();
        QCOMPARE(titles.size(), static_cast<qsizetype>(kExpectedMenus.size()));
        for (std::size_t m = 0; m < kExpectedMenus.size(); ++m) {
            const ExpectedMenu& expected = kExpectedMenus[m];
            QMenu* menu = titles[static_cast<qsizetype>(m)]->menu();
            QCOMPARE(menu->title(), QString::fromLatin1(expected.title));
            QList<QAction*> items = menu->actions();
            QCOMPARE(items.size(), static_cast<qsizetype>(expected.items.size()));
            for (std::size_t i = 0; i < expected.items.size(); ++i) {
                QAction* item = items[static_cast<qsizetype>(i)];
                const ExpectedItem& want = expected.items[i];
                QCOMPARE(item->isSeparator(), want.text == nullptr);
                if (want.text == nullptr) {
                    continue;
                }
                QCOMPARE(item->text(), QString::fromLatin1(want.text));
                QCOMPARE(item->data().toInt(), want.command);
                QCOMPARE(item->isEnabled(), want.enabledWhenReady);
                QCOMPARE(gui.Frame().CommandAction(want.command), item);
            }
        }
        // Both dumping modes start clear; toolbar and status bar are shown.
        QVERIFY(!gui.Frame().CommandAction(32775)->isChecked());
        QVERIFY(!gui.Frame().CommandAction(32780)->isChecked());
        QVERIFY(gui.Frame().CommandAction(59392)->isChecked());
        QVERIFY(gui.Frame().CommandAction(59393)->isChecked());
    }

    void failedSetUpGreysTheDiskCommands() {
        GuiHarness gui(1, 1);
        gui.platform.settings.diskLibrary = true;
        gui.platform.settings.libraryMissing = true;
        gui.Start();
        QCOMPARE(gui.messages.size(), std::size_t{1});
        QCOMPARE(gui.messages[0].text, QStringLiteral("Disk32.DLL not found"));
        QVERIFY(RootTexts(gui.Frame()).empty());
        OpenEveryMenu(gui.Frame());
        for (int greyed : {32774, 32775, 32780, 32778, 32781}) {
            QVERIFY2(!gui.Frame().CommandAction(greyed)->isEnabled(),
                     qPrintable(QString::number(greyed)));
        }
        for (int available : {32782, 57664, 57665, 59392, 59393}) {
            QVERIFY2(gui.Frame().CommandAction(available)->isEnabled(),
                     qPrintable(QString::number(available)));
        }
        // Their accelerators do nothing either; F1 still works.
        Activate(gui.Frame());
        for (const char* key : {"F5", "F4", "Ctrl+F4", "F1"}) {
            QTest::keySequence(&gui.Frame(), QKeySequence::fromString(QString::fromLatin1(key)));
        }
        QCOMPARE(gui.events.commands, std::vector<int>{32782});
    }

    // The GUI and brovane-batch take their enabling and check marks from the
    // same command state: in the same state, every command the batch `menu`
    // lists is enabled and checked alike on the GUI's actions.
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

    void acceleratorsRouteOnlyEnabledCommands() {
        GuiHarness gui(1, 1);
        gui.Start();
        Activate(gui.Frame());
        for (const char* key : {"F1", "F4", "Ctrl+F4", "F5", "Ctrl+G", "Ctrl+X", "Ctrl+Z"}) {
            QTest::keySequence(&gui.Frame(), QKeySequence::fromString(QString::fromLatin1(key)));
        }
        QCOMPARE(gui.events.commands, (std::vector<int>{32782, 32780, 32775, 32774}));
        // Qt does not flip a dumping mark by itself: the mark is the core's.
        gui.Frame().CommandAction(32775)->trigger();
        QVERIFY(!gui.Screen().IsMenuChecked(32775));
        QCOMPARE(gui.events.commands.back(), 32775);
    }

    void toolbarHasFourButtonsThatFollowTheTable() {
        GuiHarness gui(1, 1);
        gui.Start();
        RunUntilIdle();
        QList<QAction*> actions = gui.Frame().ToolBar()->actions();
        std::vector<int> order;
        for (QAction* action : actions) {
            order.push_back(action->isSeparator() ? 0 : action->data().toInt());
            if (!action->isSeparator()) {
                QVERIFY(!action->icon().isNull());
            }
        }
        QCOMPARE(order, (std::vector<int>{59411, 0, 32772, 32773, 0, 57664}));
        QCOMPARE(gui.Frame().CommandAction(32772)->toolTip(),
                 QStringLiteral("Previous Sector/Cluster"));
        QCOMPARE(gui.Frame().CommandAction(59411)->toolTip(), QStringLiteral("Details"));
        QVERIFY(gui.Frame().CommandAction(59411)->isChecked());
        QVERIFY(!gui.Frame().CommandAction(32772)->isEnabled());
        QVERIFY(!gui.Frame().CommandAction(32773)->isEnabled());
        QVERIFY(gui.Frame().CommandAction(57664)->isEnabled());
        // Fly-by prompts stay off the status bar: pane 0 is the progress text's.
        QVERIFY(gui.Frame().CommandAction(32774)->statusTip().isEmpty());

        gui.Frame().CommandAction(59392)->trigger();
        QVERIFY(gui.Frame().ToolBar()->isHidden());
        QVERIFY(!gui.Frame().CommandAction(59392)->isChecked());
        gui.Frame().CommandAction(59393)->trigger();
        QVERIFY(gui.Frame().statusBar()->isHidden());
        QVERIFY(!gui.Frame().CommandAction(59393)->isChecked());
        gui.Frame().CommandAction(59392)->trigger();
        QVERIFY(!gui.Frame().ToolBar()->isHidden());
        QVERIFY(gui.Frame().CommandAction(59392)->isChecked());
        // The window's own commands never reach the core.
        QVERIFY(gui.events.commands.empty());
    }

    void aboutBoxOpensAndClosesWithOk() {
        GuiHarness gui(1, 1);
        gui.Start();
        bool seen = false;
        QTimer::singleShot(0, [&seen] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            QVERIFY(about != nullptr);
            seen = true;
            QCOMPARE(about->windowTitle(), QStringLiteral("About Brovane"));
            QVERIFY(!about->findChild<QLabel*>(QStringLiteral("icon"))->pixmap().isNull());
            QVERIFY(!about->findChild<QLabel*>(QStringLiteral("notice"))->text().isEmpty());
            QVERIFY(!about->findChild<QLabel*>(QStringLiteral("contact"))->text().isEmpty());
            QTest::mouseClick(about->findChild<QAbstractButton*>(), Qt::LeftButton);
        });
        gui.Frame().CommandAction(57664)->trigger();
        QVERIFY(seen);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void f6MovesTheFocusBetweenThePanes() {
        GuiHarness gui(1, 1);
        gui.Start();
        Activate(gui.Frame());
        gui.Screen().InsertListColumn(0, "Offset", ColumnAlign::Left, 80);
        gui.Screen().InsertCallbackListItem(0, 0);
        gui.Frame().LeftView()->setFocus();
        QTest::keyClick(gui.Frame().LeftView(), Qt::Key_F6);
        QVERIFY(gui.Frame().ListView()->hasFocus());
        QTest::keyClick(gui.Frame().ListView(), Qt::Key_F6);
        QVERIFY(gui.Frame().LeftView()->hasFocus());
        QTest::keyClick(gui.Frame().LeftView(), Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(gui.Frame().ListView()->hasFocus());
        QVERIFY(gui.events.commands.empty());
        // Gaining the focus moves neither the caret nor the focused row.
        QVERIFY(!gui.Frame().LeftView()->currentIndex().isValid());
        QVERIFY(gui.events.selections.empty());
        QVERIFY(!gui.Screen().IsListItemFocused(0));
    }

    // Texts are shown as Latin-1, in the status panes as in message boxes.
    void statusPanesAndMessageBoxesShowTheirTexts() {
        GuiHarness gui(0, 1);
        gui.Start();
        gui.Screen().SetStatusText(0, "Wait....");
        gui.Screen().SetStatusText(1, "Current Sector Number: 63 \xB5");
        QCOMPARE(gui.Frame().StatusPane(0)->text(), QStringLiteral("Wait...."));
        QCOMPARE(gui.Frame().StatusPane(1)->text(), QStringLiteral("Current Sector Number: 63 µ"));
        gui.Screen().Notify("Read Error! \xE5");
        gui.answer = QMessageBox::Yes;
        QVERIFY(gui.Screen().Confirm("Are you sure to write to disk?"));
        gui.answer = QMessageBox::No;
        QVERIFY(!gui.Screen().Confirm("Are you sure to write to disk?"));
        QCOMPARE(gui.messages.size(), std::size_t{3});
        QCOMPARE(gui.messages[0].caption, QStringLiteral("Brovane"));
        QCOMPARE(gui.messages[0].text, QStringLiteral("Read Error! å"));
        QCOMPARE(gui.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(gui.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(gui.messages[1].caption, QStringLiteral("Brovane"));
        QCOMPARE(gui.messages[1].icon, QMessageBox::Question);
        QCOMPARE(gui.messages[1].buttons, QMessageBox::Yes | QMessageBox::No);
    }

    void popupMenuChoiceGoesToTheFrame() {
        GuiHarness gui(1, 1);
        gui.Start();
        QStringList shown;
        gui.app.Screen().SetPopupChooser([&shown](QMenu& menu) -> QAction* {
            for (QAction* action : menu.actions()) {
                shown << action->text();
            }
            return menu.actions().back();
        });
        int chosen = gui.Screen().ShowPopupMenu({{32783, "Disk Copy"}, {32784, "Raw Search"}});
        QCOMPARE(chosen, 32784);
        QCOMPARE(shown, (QStringList{"Disk Copy", "Raw Search"}));
        // Delivered once the notification that showed the menu is over.
        QVERIFY(gui.events.commands.empty());
        QCoreApplication::processEvents();
        QCOMPARE(gui.events.commands, std::vector<int>{32784});
        shown.clear();
        QCOMPARE(gui.Screen().ShowPopupMenu({}), 0);
        QVERIFY(shown.isEmpty());
    }

    void closingReleasesDiskAccess() {
        GuiHarness gui(1, 2);
        gui.Start();
        QVERIFY(gui.app.GetSession().disk.diskAccessReady);
        QVERIFY(gui.platform.LiveBlocks() > 0);
        gui.Frame().CommandAction(57665)->trigger();
        QVERIFY(!gui.Frame().isVisible());
        QVERIFY(!gui.app.GetSession().disk.diskAccessReady);
        QCOMPARE(gui.platform.LiveBlocks(), std::size_t{0});
        QCOMPARE(gui.platform.counters.closes,
                 gui.platform.counters.opens - gui.platform.counters.failedOpens);
    }

    void screenshotOfTheMainWindow() {
        GuiHarness gui(1, 1);
        gui.Start();
        RunUntilIdle();
        QString path = QStringLiteral(BROVANE_GUI_OUTPUT_DIR "/main-window.png");
        QFile::remove(path);
        QVERIFY(gui.app.SaveScreenshot(path));
        QImage image(path);
        QCOMPARE(image.size(), gui.Frame().size());
        qInfo("screenshot: %s", qPrintable(path));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

// What the main window adds over the core: start-up, menus and their
// enabling, accelerators, toolbar, pane focus, message boxes, pop-up menus,
// a list of 2,000,000 callback rows, a row edited in the byte dialog, rows
// selected with Shift and copied from the pop-up menu, and a copy to an
// image and a copy-out cancelled in their progress dialogs.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <numeric>

#include "gui/byte_edit_dialog.h"
#include "gui/find_dialog.h"
#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/progress_dialog.h"
#include "gui/quorvel_app.h"
#include "gui/quorvel_view.h"
#include "gui/tree_model.h"
#include "imagebuilder/description_parser.h"
#include "imagebuilder/image_builder.h"
#include "imagebuilder/sparse_image.h"
#include "support/memory_platform.h"

using namespace brovane;

namespace {

// Tree texts go on to the core; commands are recorded and cells answered
// "R<item data>" and counted, so that a check does not depend on the core.
struct RecordingEvents : ScreenEvents {
    explicit RecordingEvents(ScreenEvents& coreEvents) : core(coreEvents) {}
    void OnTreeSelectionChanged(TreeItemInfo*) override {}
    bool OnTreeItemExpanding(TreeItemHandle, TreeItemInfo*, bool) override { return true; }
    std::string_view GetTreeItemText(const TreeItemInfo* info) override {
        return core.GetTreeItemText(info);
    }
    void OnTreeRightClick() override {}
    std::string_view GetCellText(int, std::uintptr_t itemData) override {
        ++cellRequests;
        highestItemData = std::max(highestItemData, itemData);
        return scratch = "R" + std::to_string(itemData);
    }
    void OnListDoubleClick() override {}
    void OnListRightClick() override {}
    void OnCommand(int command) override { commands.push_back(command); }

    ScreenEvents& core;
    std::vector<int> commands;
    long cellRequests = 0;
    std::uintptr_t highestItemData = 0;
    std::string scratch;
};

// The GUI on the in-memory platform; its message boxes recorded and
// answered with `answer` (Yes where a box asks).
struct Gui {
    Gui(unsigned floppies, unsigned hardDisks) : app(platform), events(app.GetSession()) {
        for (unsigned i = 0; i < floppies + hardDisks; ++i) {
            i < floppies ? platform.AddFloppy(2880) : platform.AddHardDisk(20480);
        }
        app.Screen().SetMessageAnswerer([this](QMessageBox& box) {
            messages << QStringLiteral("%1|%2|%3|%4")
                            .arg(box.windowTitle(), box.text())
                            .arg(box.icon())
                            .arg(box.standardButtons().toInt());
            return box.standardButtons().testFlag(QMessageBox::Yes) ? answer : QMessageBox::Ok;
        });
    }
    // Recording: the notifications go to the recorder, not to the session.
    void Start(bool recording = true) {
        app.InitInstance();
        if (recording) {
            app.Screen().SetEvents(&events);
        }
    }
    // The real session, its window shown, with the first disk's first
    // sector shown as a sector dump.
    void StartWithSectorDump() {
        Start(false);
        Frame().resize(900, 700);
        QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
        QTest::keyClick(&Frame(), Qt::Key_F4, Qt::ControlModifier);
        Screen().SelectTreeItem(
            Frame().LeftView()->Model().HandleOf(Frame().LeftView()->Model().index(0, 0, {})));
        QCoreApplication::processEvents();
    }
    CMainFrame& Frame() { return *app.MainFrame(); }
    ScreenOperations& Screen() { return app.Screen(); }
    QAction* Action(int command) { return Frame().CommandAction(command); }

    MemoryPlatform platform;
    CQuorvelApp app;
    RecordingEvents events;
    QStringList messages;  // caption|text|icon|buttons
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};

// Runs a progress dialog and clicks its Cancel after `after` ms, first
// calling `beforeCancel`; cancelToClose: the ms from the click to the
// dialog closed.
int ExecCancelledAfter(
    QDialog& dialog, int after, qint64& cancelToClose,
    const std::function<void()>& beforeCancel = [] {}) {
    auto& progress = dynamic_cast<CProgressDlg&>(dialog);
    QElapsedTimer clock;
    QTimer::singleShot(after, [&] {
        beforeCancel();
        clock.start();
        QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    });
    const int result = dialog.exec();
    cancelToClose = clock.isValid() ? clock.elapsed() : cancelToClose;
    return result;
}

// The menu bar as the user sees it with disk access set up: each item's
// menu, text, command and enabling ("-" a separator).
const QStringList kMenus = {
    "&File|E&xit|57665|1",
    "&View|&Toolbar|59392|1",
    "&View|&Status Bar|59393|1",
    "&Action|R&efresh Disks\tF5|32774|1",
    "&Action|&Go to a Sector\tCtrl+G|32781|0",
    "&Action|Find...\tCtrl+F|32812|0",
    "&Action|Find Next\tF3|32813|0",
    "&Action|-",
    "&Action|&Copy to Image...\tCtrl+I|32810|0",
    "&Action|Damage &Report...|32811|0",
    "&Action|Copy Out...\tCtrl+O|32815|0",
    "&Action|Compare &FATs|32814|0",
    "&Action|-",
    "&Action|&Sector/Cluster Dumping\tCtrl+F4|32775|1",
    "&Action|Raw Sector &Dumping\tF4|32780|1",
    "&Changes|&Write Changes|32778|1",
    "&Help|&Usage\tF1|32782|1",
    "&Help|-",
    "&Help|&About Brovane...|57664|1",
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startUpMenusMessageBoxesAndPopupMenus() {
        Gui gui(2, 2);
        gui.Start();
        QCOMPARE(gui.Frame().windowTitle(),
                 QStringLiteral("Brovane, for Windows 95/98/ME, Windows NT/2000"));
        TreeModel& tree = gui.Frame().LeftView()->Model();
        QCOMPARE(tree.rowCount({}), 4);
        QCOMPARE(tree.index(3, 0, {}).data().toString(), QStringLiteral("Hard Disk 2"));
        QStringList menus;
        for (QAction* title : gui.Frame().menuBar()->actions()) {
            title->menu()->popup(QPoint(0, 0));  // opened as the user would: enabling updated
            title->menu()->hide();
            for (QAction* item : title->menu()->actions()) {
                QVERIFY(item->isSeparator() || gui.Action(item->data().toInt()) == item);
                menus << title->text() + "|" +
                             (item->isSeparator() ? QStringLiteral("-")
                                                  : QStringLiteral("%1|%2|%3")
                                                        .arg(item->text(), item->data().toString(),
                                                             QString::number(item->isEnabled())));
            }
        }
        QCOMPARE(menus, kMenus);
        // Both dumping modes start clear; toolbar and status bar are shown.
        QVERIFY(!gui.Action(32775)->isChecked() && !gui.Action(32780)->isChecked());
        QVERIFY(gui.Action(59392)->isChecked() && gui.Action(59393)->isChecked());

        gui.Screen().Notify("Read Error! \xE5");
        gui.answer = QMessageBox::No;
        QVERIFY(!gui.Screen().Confirm("Are you sure to write to disk?"));
        // Caption, text as Latin-1, icon (2 warning, 4 question), buttons (Ok, Yes|No).
        QCOMPARE(gui.messages, (QStringList{"Brovane|Read Error! å|2|1024",
                                            "Brovane|Are you sure to write to disk?|4|81920"}));
        QStringList shown;
        gui.app.Screen().SetPopupChooser([&shown](QMenu& menu) -> QAction* {
            for (QAction* action : menu.actions()) {
                shown << action->text();
            }
            return menu.actions().back();
        });
        QCOMPARE(gui.Screen().ShowPopupMenu({{32783, "Disk Copy"}, {32784, "Raw Search"}}), 32784);
        QCOMPARE(shown, (QStringList{"Disk Copy", "Raw Search"}));
        // Delivered once the notification that showed the menu is over.
        QVERIFY(gui.events.commands.empty());
        QCoreApplication::processEvents();
        QCOMPARE(gui.events.commands, std::vector<int>{32784});
    }

    void keysToolbarAndPaneFocus() {
        Gui gui(1, 1);
        gui.Start();
        gui.Frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&gui.Frame()));
        // Accelerators route only enabled commands.
        for (const char* key : {"F1", "F4", "Ctrl+F4", "F5", "Ctrl+G", "Ctrl+X", "Ctrl+Z"}) {
            QTest::keySequence(&gui.Frame(), QKeySequence::fromString(key));
        }
        QCOMPARE(gui.events.commands, (std::vector<int>{32782, 32780, 32775, 32774}));
        // Qt does not flip a dumping mark by itself: the mark is the core's.
        gui.Action(32775)->trigger();
        QVERIFY(!gui.Screen().IsMenuChecked(32775));
        gui.events.commands.clear();

        QEventLoop loop;  // until it has gone idle once, which runs the toolbar's enabling
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        std::vector<int> order;
        for (QAction* action : gui.Frame().ToolBar()->actions()) {
            order.push_back(action->isSeparator() ? 0 : action->data().toInt());
            QVERIFY(action->isSeparator() || !action->icon().isNull());
        }
        QCOMPARE(order, (std::vector<int>{59411, 0, 32772, 32773, 0, 57664}));
        QCOMPARE(gui.Action(32772)->toolTip(), QStringLiteral("Previous Sector/Cluster"));
        QVERIFY(gui.Action(59411)->isChecked());
        QVERIFY(!gui.Action(32772)->isEnabled() && !gui.Action(32773)->isEnabled());
        gui.Action(59392)->trigger();
        gui.Action(59393)->trigger();
        QVERIFY(gui.Frame().ToolBar()->isHidden() && gui.Frame().statusBar()->isHidden());
        QVERIFY(gui.events.commands.empty());  // the window's own commands

        // F6 and Shift+F6 move the focus between the panes.
        gui.Screen().InsertListColumn(0, "Offset", ColumnAlign::Left, 80);
        gui.Screen().InsertCallbackListItem(0, 0);
        gui.Frame().LeftView()->setFocus();
        QTest::keyClick(gui.Frame().LeftView(), Qt::Key_F6);
        QVERIFY(gui.Frame().ListView()->hasFocus());
        QTest::keyClick(gui.Frame().ListView(), Qt::Key_F6);
        QVERIFY(gui.Frame().LeftView()->hasFocus());
        QTest::keyClick(gui.Frame().LeftView(), Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(gui.Frame().ListView()->hasFocus());
    }

    // 2,000,000 callback rows of a dump open at once and the core is asked
    // only for the cells on screen, at the start and at the end; the
    // figures are printed.
    void twoMillionCallbackRowsAskOnlyForCellsOnScreen() {
        constexpr int kRows = 2'000'000;
        constexpr int kColumns = 34;  // offset, 16 bytes, gap, 16 characters
        Gui gui(0, 1);
        gui.Start();
        gui.Frame().resize(800, 560);
        QVERIFY(QTest::qWaitForWindowExposed(&gui.Frame()));
        CQuorvelView& view = *gui.Frame().ListView();
        QElapsedTimer timer;
        timer.start();  // insertion, the announcement and the first paint
        for (int column = 0; column < kColumns; ++column) {
            gui.Screen().InsertListColumn(column, "", ColumnAlign::Left, 24);
        }
        for (int row = 0; row < kRows; ++row) {
            gui.Screen().InsertCallbackListItem(row, static_cast<std::uintptr_t>(row));
        }
        QCoreApplication::processEvents();
        if (gui.events.cellRequests == 0) {
            view.viewport()->repaint();
        }
        qint64 opened = timer.elapsed();
        QCOMPARE(view.model()->rowCount(), kRows);
        QCOMPARE(view.Model().Rows().RunCount(), std::size_t{1});  // no storage per row
        const int rows = view.viewport()->height() / view.rowHeight(0) + 1, cells = rows * kColumns;
        QVERIFY(gui.events.cellRequests > 0 && gui.events.cellRequests <= cells);
        QVERIFY(gui.events.highestItemData <= static_cast<std::uintptr_t>(rows));
        gui.events.cellRequests = 0;
        timer.restart();
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
        view.viewport()->repaint();
        QVERIFY(gui.events.cellRequests > 0 && gui.events.cellRequests <= cells);
        QCOMPARE(gui.events.highestItemData, static_cast<std::uintptr_t>(kRows - 1));
        qInfo("%d rows: opened and drawn in %lld ms, scrolled to the end in %lld ms", kRows, opened,
              timer.elapsed());
    }

    // A row of the master boot record's dump double-clicked, edited in the
    // real byte dialog.
    void doubleClickedRowIsEditedInTheDialog() {
        Gui gui(0, 1);
        gui.StartWithSectorDump();
        gui.app.Screen().SetDialogRunner([](QDialog& dialog) {
            auto& edit = dynamic_cast<CByteEditDlg&>(dialog);
            dialog.show();
            for (int n = 0; n < 16; ++n) {
                edit.Box(n)->selectAll();
                QTest::keyClicks(edit.Box(n), QStringLiteral("%1").arg(0xC0 + n, 2, 16));
            }
            QTest::mouseClick(edit.OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        CQuorvelView& list = *gui.Frame().ListView();
        QPoint row = list.visualRect(list.model()->index(3, 1)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(list.model()->index(3, 1).data().toString(), QStringLiteral("C0"));
        QCOMPARE(list.model()->index(3, 16).data().toString(), QStringLiteral("CF"));
    }

    // Rows 2 to 4 of the master boot record's dump selected by a click and
    // a Shift+click, right-clicked inside the selection, which keeps it,
    // and copied from the pop-up menu.
    void shiftClickedRowsAreCopiedFromThePopup() {
        Gui gui(0, 0);
        std::vector<std::uint8_t> rows(48);
        std::iota(rows.begin(), rows.end(), std::uint8_t{0x40});
        PokeBytes(*gui.platform.FindDisk(gui.platform.AddHardDisk(20480)), 0x20, rows);
        gui.StartWithSectorDump();
        gui.app.Screen().SetPopupChooser([](QMenu& menu) { return menu.actions().front(); });
        CQuorvelView& list = *gui.Frame().ListView();
        auto at = [&list](int row) {
            return list.visualRect(list.model()->index(row, 1)).center();
        };
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, at(4));
        QTest::mouseClick(list.viewport(), Qt::RightButton, {}, at(3));
        QCoreApplication::processEvents();
        QCOMPARE(
            QGuiApplication::clipboard()->text(),
            QStringLiteral(
                "00000020  40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F  @ABCDEFGHIJKLMNO\n"
                "00000030  50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F  PQRSTUVWXYZ[\\]^_\n"
                "00000040  60 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F  `abcdefghijklmno\n"));
        for (int row : {1, 5}) {
            QVERIFY(!gui.Screen().IsListItemSelected(row));
        }
    }

    // Copy to Image on a slow disk, cancelled: the dialog closes within
    // 100 ms of Cancel, the window stays responsive meanwhile, and a second
    // copy resumes to the whole disk.
    void copyToImageIsCancelledAndResumed() {
        Gui gui(0, 0);
        MemoryDisk& disk = *gui.platform.FindDisk(gui.platform.AddHardDisk(131072));
        for (std::uint64_t sector = 0; sector < 131072; sector += 4099) {
            PokeBytes(disk, sector * 512, std::vector<std::uint8_t>(512, sector & 0xFF));
        }
        disk.faults.readTime = std::chrono::milliseconds(4);
        gui.Start(false);
        QMenu* action = gui.Frame().menuBar()->actions()[2]->menu();
        auto enabled = [&] {  // as the user sees it when the menu opens
            action->popup({});
            action->hide();
            return gui.Action(32810)->isEnabled();
        };
        QVERIFY(!enabled());  // nothing selected yet
        gui.Screen().SelectTreeItem(gui.Frame().LeftView()->Model().HandleOf(
            gui.Frame().LeftView()->Model().index(0, 0, {})));
        QVERIFY(enabled());
        // A folder that exists, as the file dialog wants; the file is the double's.
        const std::string image = QDir::tempPath().toStdString() + "/brovane-copy.img";
        qint64 cancelToClose = -1;
        int ticks = 0;
        gui.app.Screen().SetDialogRunner([&](QDialog& dialog) {
            if (auto* files = dynamic_cast<QFileDialog*>(&dialog)) {
                files->selectFile(QString::fromStdString(image));
                return int{QDialog::Accepted};
            }
            QTimer tick;  // the window keeps running events while the copy goes on
            QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
            tick.start(10);
            return cancelToClose < 0 ? ExecCancelledAfter(dialog, 150, cancelToClose)
                                     : dialog.exec();
        });
        gui.Action(32810)->trigger();
        qInfo("Cancel to the dialog closed: %lld ms", cancelToClose);
        QVERIFY2(cancelToClose >= 0 && cancelToClose <= 100,
                 qPrintable(QString::number(cancelToClose)));
        QVERIFY(ticks >= 10);
        QVERIFY(gui.messages.last().contains("The copy was cancelled."));
        QVERIFY(gui.platform.hostFiles.Exists(image + ".part"));
        gui.answer = QMessageBox::Yes;
        gui.Action(32810)->trigger();
        QVERIFY(gui.messages.last().contains(
            QString::fromStdString("Copied 131072 sectors to " + image + ", 0 bad")));
        QVERIFY(gui.platform.hostFiles.files[image].bytes == PeekBytes(disk, 0, 131072 * 512));
    }

    // Find runs off the window's thread: Cancel ends it within 100 ms while
    // the window keeps answering; run to its end it shows the hit's sector.
    void findIsCancelledAndThenShowsTheHit() {
        Gui gui(0, 0);
        MemoryDisk& disk = *gui.platform.FindDisk(gui.platform.AddHardDisk(131072));
        PokeBytes(disk, 131000 * 512 + 300, {'N', 'e', 'e', 'd', 'l', 'e'});
        disk.faults.readTime = std::chrono::milliseconds(4);
        gui.Start(false);
        gui.Screen().SelectTreeItem(gui.Frame().LeftView()->Model().HandleOf(
            gui.Frame().LeftView()->Model().index(0, 0, {})));
        QMenu* action = gui.Frame().menuBar()->actions()[2]->menu();
        action->popup({});  // the menu's enabling follows the selection
        action->hide();
        qint64 cancelToClose = -1;
        int ticks = 0;
        bool cancel = true;
        gui.app.Screen().SetDialogRunner([&](QDialog& dialog) {
            if (auto* find = dynamic_cast<CFindDlg*>(&dialog)) {
                find->PatternLine()->setText(QStringLiteral("NEEDLE"));
                find->MatchCaseChoice()->setChecked(false);
                return int{QDialog::Accepted};
            }
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
            tick.start(10);
            return cancel ? ExecCancelledAfter(dialog, 100, cancelToClose) : dialog.exec();
        });
        gui.Action(32812)->trigger();
        qInfo("Cancel to the dialog closed: %lld ms", cancelToClose);
        QVERIFY2(cancelToClose >= 0 && cancelToClose <= 100,
                 qPrintable(QString::number(cancelToClose)));
        QVERIFY(ticks >= 5);
        QVERIFY(gui.messages.last().contains("The search was cancelled: "));
        cancel = false;
        gui.Action(32812)->trigger();
        QCOMPARE(gui.Frame().StatusPane(kProgressPane)->text(),
                 QStringLiteral("Found at 131000, byte 300"));
        QCOMPARE(gui.Frame().StatusPane(kPositionPane)->text(),
                 QStringLiteral("Current Sector Number: 131000"));
        QCOMPARE(gui.Screen().IsListItemSelected(18) && gui.Screen().IsListItemFocused(18), true);
    }

    // Copy Out of a volume on a slow disk, cancelled while its large file
    // is read: the dialog closes within 100 ms of Cancel, the file copied
    // before stays and the one being written is gone.
    void copyOutIsCancelledKeepingWhatWasCopied() {
        Gui gui(0, 0);
        imagebuilder::Disk described;
        std::string error;
        QVERIFY(imagebuilder::ParseDescription(R"(
disk size=16M
partition type=0x06 start=2048 size=30000
fat16 sectors_per_cluster=4
file /FIRST.TXT data="first"
file /BIG.BIN pattern="big " length=8388608
)",
                                               described, error));
        imagebuilder::SparseImage image(described.sizeBytes);
        QVERIFY(imagebuilder::BuildImage(described, image, error));
        MemoryDisk& disk =
            *gui.platform.FindDisk(gui.platform.AddHardDisk(described.sizeBytes / 512));
        disk.heads = described.heads;
        disk.sectorsPerTrack = described.sectorsPerTrack;
        for (std::uint64_t offset : image.WrittenPageOffsets()) {
            PokeBytes(disk, offset, image.Read(offset, imagebuilder::SparseImage::kPageBytes));
        }
        disk.faults.readTime = std::chrono::milliseconds(30);
        gui.platform.hostFiles.folders["/out"] = 0;
        gui.Start(false);
        TreeModel& tree = gui.Frame().LeftView()->Model();
        gui.Frame().LeftView()->expand(tree.index(0, 0, {}));
        gui.Screen().SelectTreeItem(tree.HandleOf(tree.index(0, 0, tree.index(0, 0, {}))));
        QMenu* action = gui.Frame().menuBar()->actions()[2]->menu();
        action->popup({});  // the menu's enabling follows the selection
        action->hide();
        qint64 cancelToClose = -1;
        QString files;
        gui.app.Screen().SetDialogRunner([&](QDialog& dialog) {
            if (auto* folders = dynamic_cast<QFileDialog*>(&dialog)) {
                folders->selectFile(QStringLiteral("/out"));
                return int{QDialog::Accepted};
            }
            return ExecCancelledAfter(dialog, 120, cancelToClose, [&] {
                files = dynamic_cast<CProgressDlg&>(dialog).FileText()->text();
            });
        });
        gui.Action(32815)->trigger();
        qInfo("Cancel to the dialog closed: %lld ms", cancelToClose);
        QVERIFY2(cancelToClose >= 0 && cancelToClose <= 100,
                 qPrintable(QString::number(cancelToClose)));
        QCOMPARE(files, QStringLiteral("Files done: 1 of 2, now BIG.BIN"));
        QVERIFY2(gui.messages.last().contains(
                     "The copy was cancelled after 1 files, 0 directories, 5 bytes"),
                 qPrintable(gui.messages.last()));
        QStringList left;
        for (const auto& [path, file] : gui.platform.hostFiles.files) {
            left << QString::fromStdString(path);
        }
        QCOMPARE(left, QStringList{"/out/FIRST.TXT"});
    }

    void byteDialogHasItsLayoutAndTabOrder() {
        EditBytes bytes{};
        bytes[0] = 0x4A;
        CByteEditDlg dialog(bytes);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter Bytes to Change"));
        QCOMPARE(dialog.Box(0)->text(), QStringLiteral("4A"));
        QCOMPARE(dialog.Box(0)->maxLength(), 2);
        QVERIFY(dialog.OkButton()->isDefault());
        QVERIFY(dialog.Box(8)->y() > dialog.Box(7)->y());
        QCOMPARE(dialog.OkButton()->nextInFocusChain(), dialog.CancelButton());
        QWidget* next = dialog.CancelButton()->nextInFocusChain();
        for (int n = 0; n < 16; ++n, next = next->nextInFocusChain()) {
            QCOMPARE(next, static_cast<QWidget*>(dialog.Box(n)));
        }
        dialog.Box(0)->setText(QStringLiteral("7"));
        dialog.reject();  // Cancel leaves the bytes alone
        QCOMPARE(dialog.Bytes()[0], std::uint8_t{0x4A});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

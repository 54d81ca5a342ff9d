// The tree and list panes through the screen operations: lazy expansion
// with refusal, caret notifications, hit tests, callback texts and cells,
// row states, and every model checked by QAbstractItemModelTester.
#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "gui/left_view.h"
#include "gui/quorvel_view.h"
#include "gui_harness.h"

using namespace brovane;

namespace {

// A started GUI with no disks, its models under QAbstractItemModelTester.
struct PaneHarness : GuiHarness {
    PaneHarness()
        : GuiHarness(0, 0),
          treeTester(&Frame().LeftView()->Model(),
                     QAbstractItemModelTester::FailureReportingMode::QtTest),
          listTester(&Frame().ListView()->Model(),
                     QAbstractItemModelTester::FailureReportingMode::QtTest) {}
    CLeftView& Tree() { return *Frame().LeftView(); }
    CQuorvelView& List() { return *Frame().ListView(); }
    QModelIndex IndexOf(TreeItemHandle item) { return Tree().Model().IndexOf(item); }
    QString CellText(int row, int column) {
        return List().Model().index(row, column).data().toString();
    }
    QPoint CenterOfRow(int row) { return List().visualRect(List().Model().index(row, 0)).center(); }

    // Built after Start(), which the testers need a frame for.
    struct Started {
        explicit Started(GuiHarness& gui) {
            gui.Start();
            gui.Frame().resize(640, 400);
        }
    } started{*this};
    QAbstractItemModelTester treeTester;
    QAbstractItemModelTester listTester;
};

TreeItemInfo NamedRecord(const char* name) {
    TreeItemInfo info{};
    info.nameText = name;
    return info;
}

constexpr int kRows = 2'000'000;
constexpr int kColumns = 34;  // a dump row: offset, 16 bytes, gap, 16 characters

// Rows whose top edge lies inside the viewport.
int RowsOnScreen(CQuorvelView& view) {
    int first = view.rowAt(0);
    int last = view.rowAt(view.viewport()->height() - 1);
    return (last < 0 ? view.model()->rowCount() - 1 : last) - first + 1;
}

int ColumnsOnScreen(CQuorvelView& view) {
    int first = view.columnAt(0);
    int last = view.columnAt(view.viewport()->width() - 1);
    return (last < 0 ? view.model()->columnCount() - 1 : last) - first + 1;
}

}  // namespace

class PanesTest : public QObject {
    Q_OBJECT

  private slots:
    void expansionAsksTheCoreWhichMayRefuse() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        TreeItemHandle disk =
            screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 1", true, nullptr);
        TreeItemHandle leaf = screen.InsertTreeItem(kTreeRoot, kInsertLast, "Leaf", false, nullptr);
        TreeItemHandle empty =
            screen.InsertTreeItem(kTreeRoot, kInsertLast, "Empty", true, nullptr);
        int calls = 0;
        gui.events.onExpanding = [&](TreeItemHandle item) {
            ++calls;
            if (item == disk && calls == 1) {
                return false;
            }
            if (item == disk && calls == 2) {
                screen.InsertTreeItem(disk, kInsertLast, "16-Bit FAT Disk", true, nullptr);
            }
            return true;
        };
        gui.Tree().setCurrentIndex(gui.IndexOf(disk));
        QTest::keyClick(&gui.Tree(), Qt::Key_Right);
        QVERIFY(!gui.Tree().isExpanded(gui.IndexOf(disk)));
        QTest::keyClick(&gui.Tree(), Qt::Key_Right);
        QVERIFY(gui.Tree().isExpanded(gui.IndexOf(disk)));
        QCOMPARE(gui.Tree().Model().rowCount(gui.IndexOf(disk)), 1);
        QTest::keyClick(&gui.Tree(), Qt::Key_Left);
        QTest::keyClick(&gui.Tree(), Qt::Key_Right);
        QCOMPARE(gui.events.expansions.size(), std::size_t{3});
        // Refused expansions do not count as the first one.
        QVERIFY(!gui.events.expansions[0].expandedOnce);
        QVERIFY(!gui.events.expansions[1].expandedOnce);
        QVERIFY(gui.events.expansions[2].expandedOnce);
        QVERIFY(gui.Tree().isExpanded(gui.IndexOf(disk)));
        // Refused while it has children: it stays collapsed all the same.
        QTest::keyClick(&gui.Tree(), Qt::Key_Left);
        gui.events.onExpanding = [](TreeItemHandle) { return false; };
        QTest::keyClick(&gui.Tree(), Qt::Key_Right);
        QCOMPARE(gui.events.expansions.size(), std::size_t{4});
        QVERIFY(!gui.Tree().isExpanded(gui.IndexOf(disk)));
        gui.events.onExpanding = nullptr;

        // No button, no expansion; a button whose expansion brought nothing goes.
        gui.Tree().setCurrentIndex(gui.IndexOf(leaf));
        QTest::keyClick(&gui.Tree(), Qt::Key_Right);
        QCOMPARE(gui.events.expansions.size(), std::size_t{4});
        QVERIFY(gui.Tree().Model().hasChildren(gui.IndexOf(empty)));
        gui.Tree().setCurrentIndex(gui.IndexOf(empty));
        QTest::keyClick(&gui.Tree(), Qt::Key_Right);
        QCOMPARE(gui.events.expansions.back().item, empty);
        QVERIFY(!gui.Tree().Model().hasChildren(gui.IndexOf(empty)));
        QVERIFY(!gui.Tree().isExpanded(gui.IndexOf(empty)));
    }

    void expansionHandlerMayRebuildTheTree() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        TreeItemHandle disk =
            screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 1", true, nullptr);
        gui.events.onExpanding = [&](TreeItemHandle) {
            screen.DeleteAllTreeItems();
            screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 1", true, nullptr);
            return true;
        };
        gui.Tree().expand(gui.IndexOf(disk));
        QCOMPARE(gui.Tree().Model().rowCount({}), 1);
        QVERIFY(!gui.Tree().Model().Contains(disk));
        QVERIFY(!gui.Tree().isExpanded(gui.Tree().Model().index(0, 0, {})));
    }

    void caretNotifiesOnlyWhenItChanges() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        TreeItemInfo first{}, second{};
        TreeItemHandle a = screen.InsertTreeItem(kTreeRoot, kInsertLast, "A", false, &first);
        TreeItemHandle b = screen.InsertTreeItem(kTreeRoot, kInsertLast, "B", false, &second);
        QPoint onA = gui.Tree().visualRect(gui.IndexOf(a)).center();
        QTest::mouseClick(gui.Tree().viewport(), Qt::LeftButton, {}, onA);
        QTest::mouseClick(gui.Tree().viewport(), Qt::LeftButton, Qt::ControlModifier, onA);
        QCOMPARE(screen.GetCaretItem(), a);
        screen.SelectTreeItem(b);
        screen.SelectTreeItem(b);
        screen.SelectTreeItem(b + 100);  // no such item
        QCOMPARE(screen.GetCaretItem(), b);
        screen.SelectTreeItem(kNoTreeItem);
        QCOMPARE(gui.events.selections, (std::vector<TreeItemInfo*>{&first, &second, nullptr}));
        screen.SelectTreeItem(a);
        screen.DeleteAllTreeItems();
        QCOMPARE(screen.GetCaretItem(), kNoTreeItem);
        QCOMPARE(gui.events.selections.back(), nullptr);
        std::size_t count = gui.events.selections.size();
        screen.DeleteAllTreeItems();  // nothing selected: nothing to say
        QCOMPARE(gui.events.selections.size(), count);
    }

    void rightClickHitsTheItemWithoutSelectingIt() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        TreeItemInfo record{};
        screen.InsertTreeItem(kTreeRoot, kInsertLast, "Floppy Disk 1", true, nullptr);
        TreeItemHandle disk =
            screen.InsertTreeItem(kTreeRoot, kInsertLast, "Hard Disk 1", true, &record);
        std::vector<TreeItemHandle> hits;
        gui.events.onTreeRightClick = [&] { hits.push_back(screen.HitTestTreeAtCursor()); };
        QPoint onDisk = gui.Tree().visualRect(gui.IndexOf(disk)).center();
        QTest::mouseClick(gui.Tree().viewport(), Qt::RightButton, {}, onDisk);
        QTest::mouseClick(gui.Tree().viewport(), Qt::RightButton, {},
                          QPoint(5, gui.Tree().viewport()->height() - 5));
        QCOMPARE(hits, (std::vector<TreeItemHandle>{disk, kNoTreeItem}));
        QCOMPARE(screen.GetCaretItem(), kNoTreeItem);
        QVERIFY(gui.events.selections.empty());
        QVERIFY(!gui.Tree().isExpanded(gui.IndexOf(disk)));
        QCOMPARE(screen.GetTreeItemInfo(disk), &record);
    }

    void itemsAreInsertedAfterTheirSiblingWithTextOrCallback() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        TreeItemInfo docs = NamedRecord("DOCS\xE5");
        TreeItemHandle root =
            screen.InsertTreeItem(kTreeRoot, kInsertLast, "Root Directory", true, nullptr);
        TreeItemHandle first = screen.InsertCallbackTreeItem(root, kInsertLast, true, &docs);
        screen.InsertTreeItem(root, kInsertLast, "LAST", false, nullptr);
        screen.InsertTreeItem(root, first, "SECOND", false, nullptr);
        QCOMPARE(screen.InsertTreeItem(12345, kInsertLast, "orphan", false, nullptr), kNoTreeItem);
        TreeModel& model = gui.Tree().Model();
        QModelIndex parent = gui.IndexOf(root);
        QStringList texts;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            texts << model.index(row, 0, parent).data().toString();
        }
        QCOMPARE(texts, (QStringList{"DOCSå", "SECOND", "LAST"}));
        // The callback text is asked again when drawn, not kept.
        docs.nameText = "NOTES";
        QCOMPARE(model.index(0, 0, parent).data().toString(), QStringLiteral("NOTES"));
    }

    void listColumnsKeepHeadingAlignmentAndWidth() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        screen.InsertListColumn(0, "Field", ColumnAlign::Left, 120);
        screen.InsertListColumn(1, "Value", ColumnAlign::Right, 80);
        screen.InsertListColumn(1, "Offset", ColumnAlign::Center, 60);
        QCOMPARE(screen.GetListColumnCount(), 3);
        QHeaderView* header = gui.List().horizontalHeader();
        QStringList headings;
        for (int column = 0; column < 3; ++column) {
            headings << gui.List()
                            .Model()
                            .headerData(column, Qt::Horizontal, Qt::DisplayRole)
                            .toString();
        }
        QCOMPARE(headings, (QStringList{"Field", "Offset", "Value"}));
        QCOMPARE(header->sectionSize(0), 120);
        QCOMPARE(header->sectionSize(1), 60);
        QCOMPARE(header->sectionSize(2), 80);
        int valueAlign =
            gui.List().Model().headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
        QVERIFY(valueAlign & Qt::AlignRight);

        screen.InsertListItem(0, "Boot Indicator");
        screen.SetListItemText(0, 2, "80");
        screen.InsertListItem(0, "First");
        QCoreApplication::processEvents();
        QCOMPARE(gui.CellText(0, 0), QStringLiteral("First"));
        QCOMPARE(gui.CellText(1, 0), QStringLiteral("Boot Indicator"));
        QCOMPARE(gui.CellText(1, 2), QStringLiteral("80"));
        QCOMPARE(gui.CellText(1, 1), QString());
        QVERIFY(gui.List().Model().index(1, 2).data(Qt::TextAlignmentRole).toInt() &
                Qt::AlignRight);

        screen.DeleteAllListItems();
        QCOMPARE(screen.GetListItemCount(), 0);
        QCOMPARE(screen.GetListColumnCount(), 3);
        while (screen.GetListColumnCount() > 0) {
            screen.DeleteListColumn(0);
        }
        QCOMPARE(gui.List().Model().columnCount({}), 0);
    }

    void callbackCellsAreAskedOfTheCore() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        screen.InsertListColumn(0, "Offset", ColumnAlign::Left, 70);
        screen.InsertListColumn(1, "00", ColumnAlign::Left, 24);
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(screen.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row * 16)),
                     row);
        }
        // Setting a text on a callback row stores nothing.
        screen.SetListItemText(2, 1, "XX");
        QCOMPARE(screen.GetListItemCount(), 4);
        QCoreApplication::processEvents();
        QCOMPARE(gui.CellText(2, 1), QStringLiteral("R32C1"));
        QCOMPARE(gui.CellText(3, 0), QStringLiteral("R48C0"));

        QSignalSpy changed(&gui.List().Model(), &QAbstractItemModel::dataChanged);
        screen.RedrawListItems(1, 2);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 1);
        QCOMPARE(changed[0][1].toModelIndex(), gui.List().Model().index(2, 1));
    }

    void rowsInsertedAmongOthersKeepTheirItemData() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        screen.InsertListColumn(0, "Offset", ColumnAlign::Left, 100);
        for (int row = 0; row < 6; ++row) {
            screen.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row * 32));
        }
        screen.InsertCallbackListItem(3, 7);
        screen.InsertListItem(0, "Stored");
        screen.InsertCallbackListItem(99, 192);  // past the end: appended
        screen.InsertCallbackListItem(-4, 5);    // before the start: first
        QCoreApplication::processEvents();
        QStringList cells;
        for (int row = 0; row < screen.GetListItemCount(); ++row) {
            cells << gui.CellText(row, 0);
        }
        QCOMPARE(cells, (QStringList{"R5C0", "Stored", "R0C0", "R32C0", "R64C0", "R7C0", "R96C0",
                                     "R128C0", "R160C0", "R192C0"}));
        QCOMPARE(gui.List().Model().rowCount({}), 10);
    }

    void rowStatesAndClicks() {
        PaneHarness gui;
        ScreenOperations& screen = gui.Screen();
        screen.InsertListColumn(0, "Offset", ColumnAlign::Left, 100);
        for (int row = 0; row < 5; ++row) {
            screen.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row));
        }
        screen.SetListItemState(2, true, true);
        QVERIFY(screen.IsListItemSelected(2) && screen.IsListItemFocused(2));
        screen.SetListItemState(3, false, true);
        QVERIFY(screen.IsListItemSelected(2) && !screen.IsListItemFocused(2));
        QVERIFY(!screen.IsListItemSelected(3) && screen.IsListItemFocused(3));
        screen.SetListItemState(2, false, false);
        QVERIFY(!screen.IsListItemSelected(2));
        QVERIFY(!screen.IsListItemSelected(99) && !screen.IsListItemFocused(-1));

        std::vector<int> rightClicked;
        std::vector<int> doubleClickedFocus;
        gui.events.onListRightClick = [&] { rightClicked.push_back(screen.HitTestListAtCursor()); };
        gui.events.onListDoubleClick = [&] {
            for (int row = 0; row < screen.GetListItemCount(); ++row) {
                if (screen.IsListItemFocused(row)) {
                    doubleClickedFocus.push_back(row);
                }
            }
        };
        QTest::mouseClick(gui.List().viewport(), Qt::RightButton, {}, gui.CenterOfRow(1));
        QTest::mouseClick(gui.List().viewport(), Qt::RightButton, {},
                          QPoint(5, gui.List().viewport()->height() - 5));
        QTest::mouseDClick(gui.List().viewport(), Qt::LeftButton, {}, gui.CenterOfRow(4));
        QCOMPARE(rightClicked, (std::vector<int>{1, -1}));
        QCOMPARE(doubleClickedFocus, std::vector<int>{4});
        QVERIFY(screen.IsListItemSelected(4));
    }

    // A list of 2,000,000 callback rows opens at once, and the core is asked
    // only for the cells on screen. Prints the figures.
    void twoMillionCallbackRowsAskOnlyForCellsOnScreen() {
        GuiHarness gui(0, 1);
        gui.Start();
        gui.Frame().resize(800, 560);
        QVERIFY(QTest::qWaitForWindowExposed(&gui.Frame()));
        CQuorvelView& view = *gui.Frame().ListView();
        ScreenOperations& screen = gui.Screen();

        QElapsedTimer timer;
        timer.start();
        for (int column = 0; column < kColumns; ++column) {
            screen.InsertListColumn(column, "", ColumnAlign::Left, 24);
        }
        for (int row = 0; row < kRows; ++row) {
            screen.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row));
        }
        qint64 inserted = timer.elapsed();
        // Drawn: the announcement and the paint both run in the event loop.
        QCoreApplication::processEvents();
        if (gui.events.cellRequests == 0) {
            view.viewport()->repaint();
        }
        qint64 opened = timer.elapsed();

        QCOMPARE(view.model()->rowCount(), kRows);
        // A dump's rows are one run: no storage per row.
        QCOMPARE(view.Model().Rows().RunCount(), std::size_t{1});
        int cells = RowsOnScreen(view) * ColumnsOnScreen(view);
        long firstPaint = gui.events.cellRequests;
        QVERIFY(firstPaint > 0);
        QVERIFY2(firstPaint <= cells, qPrintable(QString::number(firstPaint)));
        QVERIFY(gui.events.highestItemData < static_cast<std::uintptr_t>(RowsOnScreen(view) + 1));

        // Scrolling to the end asks for the last rows only.
        gui.events.cellRequests = 0;
        gui.events.highestItemData = 0;
        timer.restart();
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
        view.viewport()->repaint();
        qint64 scrolled = timer.elapsed();
        QVERIFY(gui.events.cellRequests <= cells);
        QCOMPARE(gui.events.highestItemData, static_cast<std::uintptr_t>(kRows - 1));

        qInfo(
            "%d callback rows x %d columns: inserted in %lld ms, opened and drawn in %lld ms; "
            "%ld cells asked for %d cells on screen; scrolled to the end and drawn in %lld ms, "
            "%ld cells asked",
            kRows, kColumns, inserted, opened, firstPaint, cells, scrolled,
            gui.events.cellRequests);
    }
};

QTEST_MAIN(PanesTest)
#include "panes_test.moc"

// A list of 2,000,000 callback rows: it opens at once, and the core is asked
// only for the cells on screen. Prints the figures.
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "gui/quorvel_view.h"
#include "gui_harness.h"

using namespace brovane;

namespace {

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

class ListScaleTest : public QObject {
    Q_OBJECT

  private slots:
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

QTEST_MAIN(ListScaleTest)
#include "list_scale_test.moc"

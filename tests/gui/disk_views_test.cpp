// The real panes on a built disk: expanding items with the tree's buttons and
// clicking them shows the same tree and the same rows as the text front-end.
#include <QHeaderView>
#include <QSplitter>
#include <QTest>
#include <sstream>

#include "app/disk_lifecycle.h"
#include "batch/batch_runner.h"
#include "built_disk.h"
#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/quorvel_app.h"
#include "gui/quorvel_view.h"

using namespace brovane;

namespace {

imagebuilder::Disk ChainDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 32 << 20;
    disk.primaries[0] = Primary(0x06, 2048, 20000, 0x80);
    disk.primaries[1] = Primary(0x07, 22048, 4000);
    disk.primaries[2] = Primary(0x05, 26048, 30000);
    imagebuilder::LogicalPartition logical;
    logical.entry = Primary(0x01, 26048 + 63, 4000);
    logical.tableSector = 26048;
    disk.logicals.push_back(logical);
    disk.volumes.push_back(Volume(imagebuilder::FatKind::Fat16, 2048, 20000));
    disk.volumes.push_back(Volume(imagebuilder::FatKind::Fat12, 26048 + 63, 4000));
    return disk;
}

// Paths as child numbers from the root.
const std::vector<std::vector<int>> kExpanded = {{0}, {0, 0}, {0, 2}, {0, 2, 0}};
const std::vector<std::vector<int>> kSelected = {{0}, {0, 0}, {0, 1}, {0, 2}, {0, 2, 0}};

std::string PathText(const std::vector<int>& path) {
    std::string text;
    for (int step : path) {
        text += (text.empty() ? "#" : "/#") + std::to_string(step + 1);
    }
    return text;
}

// What the text front-end prints for the same actions.
std::string BatchOutput(const std::vector<std::vector<int>>& selected = kSelected) {
    MemoryPlatform platform;
    PlaceBuiltDisk(platform, ChainDisk());
    TextScreen screen;
    Session session(platform, screen);
    screen.SetEvents(&session);
    InitDiskAccess(session);
    std::ostringstream out;
    BatchRunner runner(screen, session, out);
    std::string script;
    for (const auto& path : kExpanded) {
        script += "expand " + PathText(path) + "\n";
    }
    script += "tree\n";
    for (const auto& path : selected) {
        script += "select " + PathText(path) + "\nlist\n";
    }
    std::istringstream in(script);
    std::ostringstream err;
    runner.RunScript(in, err);
    return out.str();
}

class DiskViewsTest : public QObject {
    Q_OBJECT

  private:
    // The tree as brovane-batch prints it, read from the view's model.
    static void PrintTree(QTreeView& view, const QModelIndex& parent, int depth, std::string& out) {
        QAbstractItemModel& model = *view.model();
        for (int row = 0; row < model.rowCount(parent); ++row) {
            QModelIndex index = model.index(row, 0, parent);
            bool expanded = view.isExpanded(index) && model.rowCount(index) > 0;
            const char* mark = expanded ? "- " : model.hasChildren(index) ? "+ " : ". ";
            out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + mark +
                   index.data().toString().toLatin1().toStdString() + "\n";
            if (expanded) {
                PrintTree(view, index, depth + 1, out);
            }
        }
    }

    static std::string PrintList(QTableView& view) {
        QAbstractItemModel& model = *view.model();
        std::string out = "# ";
        for (int column = 0; column < model.columnCount(); ++column) {
            out += (column == 0 ? "" : "\t") +
                   model.headerData(column, Qt::Horizontal).toString().toLatin1().toStdString();
        }
        out += "\n";
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                out += (column == 0 ? "" : "\t") +
                       model.index(row, column).data().toString().toLatin1().toStdString();
            }
            out += "\n";
        }
        return out;
    }

    static QModelIndex IndexAt(QAbstractItemModel& model, const std::vector<int>& path) {
        QModelIndex index;
        for (int step : path) {
            index = model.index(step, 0, index);
        }
        return index;
    }

  private slots:
    void ExpandingAndClickingShowWhatTheTextFrontEndShows() {
        MemoryPlatform platform;
        PlaceBuiltDisk(platform, ChainDisk());
        CQuorvelApp app(platform);
        app.InitInstance();
        app.MainFrame()->resize(900, 700);
        CLeftView& tree = *app.MainFrame()->LeftView();
        CQuorvelView& list = *app.MainFrame()->ListView();
        app.MainFrame()->Splitter()->setSizes({400, 500});
        QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));

        std::string shown;
        for (const auto& path : kExpanded) {
            tree.expand(IndexAt(*tree.model(), path));
        }
        PrintTree(tree, QModelIndex(), 0, shown);
        for (const auto& path : kSelected) {
            QModelIndex index = IndexAt(*tree.model(), path);
            tree.scrollTo(index);
            QCoreApplication::processEvents();
            QRect rect = tree.visualRect(index);
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + 8, rect.center().y()));
            QCoreApplication::processEvents();
            shown += PrintList(list);
        }
        QCOMPARE(QString::fromLatin1(shown.c_str()), QString::fromLatin1(BatchOutput().c_str()));
        QVERIFY(shown.find("Relative Sectors\t26048") != std::string::npos);
        QVERIFY(shown.find("Total Sectors\t4000") != std::string::npos);
        app.MainFrame()->grab().save(BROVANE_GUI_OUTPUT_DIR "/disk-views.png");
    }

    // Both root directories of a built disk, clicked in the real tree, list
    // the same rows as the text front-end: a label, a 255-character long
    // name shown whole, a deleted entry with its 0xE5 byte and 13 characters
    // of its long name.
    void DirectoryListingShowsTheTextFrontEndsRows() {
        imagebuilder::Disk disk;
        disk.sizeBytes = 48 << 20;
        disk.primaries[0] = Primary(0x06, 2048, 20000, 0x80);
        disk.primaries[1] = Primary(0x0C, 22048, 70000);
        imagebuilder::FatVolume fat16 = Volume(imagebuilder::FatKind::Fat16, 2048, 20000);
        imagebuilder::EntryDescription gone =
            imagebuilder::FileEntry("/GONE.TXT", "gone", "Gone with its long name.txt");
        gone.deleted = true;
        const std::string longest(255, 'n');
        fat16.entries = {imagebuilder::LabelEntry("VIEWS"),
                         imagebuilder::DirectoryEntry("/DOCS", "Documents"),
                         imagebuilder::FileEntry("/LONG.TXT", "long", longest), gone};
        imagebuilder::FatVolume fat32 = Volume(imagebuilder::FatKind::Fat32, 22048, 70000);
        fat32.entries = {imagebuilder::FileEntry("/A.TXT", "a", "A file.txt")};
        disk.volumes = {fat16, fat32};
        const std::vector<std::vector<int>> volumes = {{0}, {0, 0}, {0, 1}};
        const std::vector<std::vector<int>> roots = {{0, 0, 2}, {0, 1, 2}};

        std::string expected;
        {
            MemoryPlatform platform;
            PlaceBuiltDisk(platform, disk);
            TextScreen screen;
            Session session(platform, screen);
            screen.SetEvents(&session);
            InitDiskAccess(session);
            std::ostringstream out;
            BatchRunner runner(screen, session, out);
            for (const auto& path : volumes) {
                screen.Expand(runner.FindItem(PathText(path)));
            }
            for (const auto& path : roots) {
                screen.SelectTreeItem(runner.FindItem(PathText(path)));
                expected += "# ";
                for (std::size_t column = 0; column < screen.Columns().size(); ++column) {
                    expected += (column == 0 ? "" : "\t") + screen.Columns()[column].heading;
                }
                expected += "\n";
                for (int row = 0; row < screen.GetListItemCount(); ++row) {
                    for (int column = 0; column < screen.GetListColumnCount(); ++column) {
                        expected += (column == 0 ? "" : "\t") + screen.CellText(row, column);
                    }
                    expected += "\n";
                }
            }
        }

        MemoryPlatform platform;
        PlaceBuiltDisk(platform, disk);
        CQuorvelApp app(platform);
        app.InitInstance();
        app.MainFrame()->resize(900, 700);
        CLeftView& tree = *app.MainFrame()->LeftView();
        CQuorvelView& list = *app.MainFrame()->ListView();
        QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));
        for (const auto& path : volumes) {
            tree.expand(IndexAt(*tree.model(), path));
        }
        std::string shown;
        for (const auto& path : roots) {
            QModelIndex index = IndexAt(*tree.model(), path);
            tree.scrollTo(index);
            QCoreApplication::processEvents();
            QRect rect = tree.visualRect(index);
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + 8, rect.center().y()));
            QCoreApplication::processEvents();
            shown += PrintList(list);
        }
        QCOMPARE(QString::fromLatin1(shown.c_str()), QString::fromLatin1(expected.c_str()));
        QVERIFY(shown.find("VIEWS   .   \t\t00000000\tV\t") != std::string::npos);
        QVERIFY(shown.find("LONG    .TXT\t" + longest + "\t") != std::string::npos);
        QVERIFY(shown.find("\xE5ONE    .TXT\tGone with its\t") != std::string::npos);
        QVERIFY(shown.find("A       .TXT\tA file.txt\t") != std::string::npos);
    }

    // FAT grids: callback rows whose cells the list asks for as it draws.
    void FatGridsShowTheRowsOfTheTextFrontEnd() {
        const std::vector<std::vector<int>> fats = {{0, 0, 0}, {0, 2, 0, 1}};
        MemoryPlatform platform;
        PlaceBuiltDisk(platform, ChainDisk());
        CQuorvelApp app(platform);
        app.InitInstance();
        app.MainFrame()->resize(900, 700);
        CLeftView& tree = *app.MainFrame()->LeftView();
        QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));
        for (const auto& path : kExpanded) {
            tree.expand(IndexAt(*tree.model(), path));
        }
        std::string shown;
        PrintTree(tree, QModelIndex(), 0, shown);
        for (const auto& path : fats) {
            QModelIndex index = IndexAt(*tree.model(), path);
            tree.scrollTo(index);
            QCoreApplication::processEvents();
            QRect rect = tree.visualRect(index);
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + 8, rect.center().y()));
            QCoreApplication::processEvents();
            shown += PrintList(*app.MainFrame()->ListView());
        }
        QCOMPARE(QString::fromLatin1(shown.c_str()),
                 QString::fromLatin1(BatchOutput(fats).c_str()));
        QVERIFY(shown.find("# FAT Entry\t0000\t0001") != std::string::npos);
        QVERIFY(shown.find("# FAT Entry\t000\t001") != std::string::npos);
        QVERIFY(shown.find("\n00000000\tFFF8\tFFFF") != std::string::npos);
    }
};

}  // namespace

QTEST_MAIN(DiskViewsTest)
#include "disk_views_test.moc"

// The real window on a built disk: expanding items with the tree's buttons
// and clicking them shows the same tree and the same rows as the text
// front-end; dumps page with the toolbar, and a row edited in the real byte
// dialog is written back.
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <sstream>

#include "app/disk_lifecycle.h"
#include "batch/batch_runner.h"
#include "built_disk.h"
#include "gui/byte_edit_dialog.h"
#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/quorvel_app.h"
#include "gui/quorvel_view.h"
#include "screen/command_table.h"

using namespace brovane;

namespace {

using Path = std::vector<int>;  // child numbers from the root

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

// A label, a 255-character long name, a deleted long-named file; and a
// FAT32 root.
imagebuilder::Disk DirectoryDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 48 << 20;
    disk.primaries[0] = Primary(0x06, 2048, 20000, 0x80);
    disk.primaries[1] = Primary(0x0C, 22048, 70000);
    imagebuilder::FatVolume fat16 = Volume(imagebuilder::FatKind::Fat16, 2048, 20000);
    imagebuilder::EntryDescription gone =
        imagebuilder::FileEntry("/GONE.TXT", "gone", "Gone with its long name.txt");
    gone.deleted = true;
    fat16.entries = {imagebuilder::LabelEntry("VIEWS"),
                     imagebuilder::DirectoryEntry("/DOCS", "Documents"),
                     imagebuilder::FileEntry("/LONG.TXT", "long", std::string(255, 'n')), gone};
    imagebuilder::FatVolume fat32 = Volume(imagebuilder::FatKind::Fat32, 22048, 70000);
    fat32.entries = {imagebuilder::FileEntry("/A.TXT", "a", "A file.txt")};
    disk.volumes = {fat16, fat32};
    return disk;
}

std::string PathText(const Path& path) {
    std::string text;
    for (int step : path) {
        text += (text.empty() ? "#" : "/#") + std::to_string(step + 1);
    }
    return text;
}

// What the text front-end shows for the same actions: the tree as
// brovane-batch prints it when asked for, and the rows of each item
// selected, unescaped as the window shows them.
std::string BatchOutput(const imagebuilder::Disk& disk, const std::vector<Path>& expanded,
                        bool tree, const std::vector<Path>& selected) {
    MemoryPlatform platform;
    PlaceBuiltDisk(platform, disk);
    TextScreen screen;
    Session session(platform, screen);
    screen.SetEvents(&session);
    InitDiskAccess(session);
    std::ostringstream out;
    BatchRunner runner(screen, session, out);
    for (const Path& path : expanded) {
        screen.Expand(runner.FindItem(PathText(path)));
    }
    std::istringstream in(tree ? "tree\n" : "");
    std::ostringstream err;
    runner.RunScript(in, err);
    std::string shown = out.str();
    for (const Path& path : selected) {
        screen.SelectTreeItem(runner.FindItem(PathText(path)));
        shown += "# ";
        for (std::size_t column = 0; column < screen.Columns().size(); ++column) {
            shown += (column == 0 ? "" : "\t") + screen.Columns()[column].heading;
        }
        shown += "\n";
        for (int row = 0; row < screen.GetListItemCount(); ++row) {
            for (int column = 0; column < screen.GetListColumnCount(); ++column) {
                shown += (column == 0 ? "" : "\t") + screen.CellText(row, column);
            }
            shown += "\n";
        }
    }
    return shown;
}

// The tree as brovane-batch prints it, read from the view's model.
void PrintTree(QTreeView& view, const QModelIndex& parent, int depth, std::string& out) {
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

std::string PrintList(QTableView& view) {
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

// Runs the event loop until it has gone idle at least once.
void RunUntilIdle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

// The disk in the real window, its message boxes answered yes where they ask.
struct Window {
    explicit Window(const imagebuilder::Disk& disk) : app(platform) {
        PlaceBuiltDisk(platform, disk);
        app.Screen().SetMessageAnswerer([this](QMessageBox& box) {
            messages.push_back(box.text().toStdString());
            return box.standardButtons().testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                    : QMessageBox::Ok;
        });
        app.InitInstance();
        Frame().resize(900, 700);
        Frame().Splitter()->setSizes({400, 500});
        exposed = QTest::qWaitForWindowExposed(&Frame());
    }
    CMainFrame& Frame() { return *app.MainFrame(); }
    CLeftView& Tree() { return *Frame().LeftView(); }
    QModelIndex IndexAt(const Path& path) {
        QModelIndex index;
        for (int step : path) {
            index = Tree().model()->index(step, 0, index);
        }
        return index;
    }
    // The tree's items expanded, the tree printed when asked for, and each
    // selected item clicked on its text.
    std::string Show(const std::vector<Path>& expanded, bool tree,
                     const std::vector<Path>& selected) {
        std::string shown;
        for (const Path& path : expanded) {
            Tree().expand(IndexAt(path));
        }
        if (tree) {
            PrintTree(Tree(), QModelIndex(), 0, shown);
        }
        for (const Path& path : selected) {
            QModelIndex index = IndexAt(path);
            Tree().scrollTo(index);
            QCoreApplication::processEvents();
            QRect rect = Tree().visualRect(index);
            QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + 8, rect.center().y()));
            QCoreApplication::processEvents();
            shown += PrintList(*Frame().ListView());
        }
        return shown;
    }
    // Expands the items above and makes the item the caret.
    void Select(const Path& path) {
        for (std::size_t depth = 1; depth < path.size(); ++depth) {
            Tree().expand(IndexAt(Path(path.begin(), path.begin() + static_cast<long>(depth))));
        }
        Tree().setCurrentIndex(IndexAt(path));
        QCoreApplication::processEvents();
    }
    QString Position() { return Frame().StatusPane(kPositionPane)->text(); }
    QString Cell(int row, int column) {
        return Frame().ListView()->model()->index(row, column).data().toString();
    }
    void ClickToolbar(int command) {
        RunUntilIdle();
        QWidget* button = Frame().ToolBar()->widgetForAction(Frame().CommandAction(command));
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    MemoryPlatform platform;
    CQuorvelApp app;
    std::vector<std::string> messages;
    bool exposed = false;
};

const std::vector<Path> kChainExpanded = {{0}, {0, 0}, {0, 2}, {0, 2, 0}};

class DiskViewsTest : public QObject {
    Q_OBJECT

  private slots:
    // Tables and boot records of primaries and a logical drive, and FAT
    // grids: callback rows whose cells the list asks for as it draws.
    void ExpandingAndClickingShowWhatTheTextFrontEndShows() {
        const std::vector<Path> selected = {{0},       {0, 0},    {0, 1},      {0, 2},
                                            {0, 2, 0}, {0, 0, 0}, {0, 2, 0, 1}};
        Window window(ChainDisk());
        QVERIFY(window.exposed);
        std::string shown = window.Show(kChainExpanded, true, selected);
        QCOMPARE(
            QString::fromLatin1(shown.c_str()),
            QString::fromLatin1(BatchOutput(ChainDisk(), kChainExpanded, true, selected).c_str()));
        QVERIFY(shown.find("Relative Sectors\t26048") != std::string::npos);
        QVERIFY(shown.find("Total Sectors\t4000") != std::string::npos);
        QVERIFY(shown.find("# FAT Entry\t0000\t0001") != std::string::npos);
        QVERIFY(shown.find("# FAT Entry\t000\t001") != std::string::npos);
        QVERIFY(shown.find("\n00000000\tFFF8\tFFFF") != std::string::npos);
        window.app.MainFrame()->grab().save(BROVANE_GUI_OUTPUT_DIR "/disk-views.png");
    }

    // Both root directories: the label, the long name shown whole, the
    // deleted entry with its 0xE5 byte and 13 characters of its long name.
    void DirectoryListingShowsTheTextFrontEndsRows() {
        const std::vector<Path> volumes = {{0}, {0, 0}, {0, 1}};
        const std::vector<Path> roots = {{0, 0, 2}, {0, 1, 2}};
        Window window(DirectoryDisk());
        QVERIFY(window.exposed);
        std::string shown = window.Show(volumes, false, roots);
        QCOMPARE(QString::fromLatin1(shown.c_str()),
                 QString::fromLatin1(BatchOutput(DirectoryDisk(), volumes, false, roots).c_str()));
        QVERIFY(shown.find("VIEWS   .   \t\t00000000\tV\t") != std::string::npos);
        QVERIFY(shown.find("LONG    .TXT\t" + std::string(255, 'n') + "\t") != std::string::npos);
        QVERIFY(shown.find("\xE5ONE    .TXT\tGone with its\t") != std::string::npos);
        QVERIFY(shown.find("A       .TXT\tA file.txt\t") != std::string::npos);
    }

    // Dumps: the dumping key, the toolbar's Previous and Next following the
    // paging flags, and a row edited in the real byte dialog and written.
    void keysAndToolbarPageARawDump() {
        Window window(ChainDisk());
        QVERIFY(window.exposed);
        window.Select({0, 0, 0});  // FAT 1 of the FAT16 volume
        QTest::keyClick(&window.Frame(), Qt::Key_F4);
        QVERIFY(window.app.Screen().IsMenuChecked(CMD_RAW_DUMPING));
        QString first = window.Position();
        QVERIFY(first.startsWith(QStringLiteral("Current Sector Number: ")));
        RunUntilIdle();
        QVERIFY(!window.Frame().CommandAction(CMD_PREVIOUS)->isEnabled());
        QVERIFY(window.Frame().CommandAction(CMD_NEXT)->isEnabled());
        window.ClickToolbar(CMD_NEXT);
        QCOMPARE(
            window.Position(),
            QStringLiteral("Current Sector Number: %1").arg(first.section(' ', 3).toUInt() + 1));
        RunUntilIdle();
        QVERIFY(window.Frame().CommandAction(CMD_PREVIOUS)->isEnabled());
        window.ClickToolbar(CMD_PREVIOUS);
        QCOMPARE(window.Position(), first);
        RunUntilIdle();
        QVERIFY(!window.Frame().CommandAction(CMD_PREVIOUS)->isEnabled());
    }

    void doubleClickedRowIsEditedInTheDialogAndWritten() {
        Window window(ChainDisk());
        QTest::keyClick(&window.Frame(), Qt::Key_F4, Qt::ControlModifier);
        window.Select({0});  // the master boot record as a sector dump
        CQuorvelView& list = *window.Frame().ListView();
        window.app.Screen().SetDialogRunner([](QDialog& dialog) {
            auto& edit = dynamic_cast<CByteEditDlg&>(dialog);
            dialog.show();
            for (int n = 0; n < 16; ++n) {
                edit.Box(n)->selectAll();
                QTest::keyClicks(edit.Box(n), QStringLiteral("%1").arg(0xC0 + n, 2, 16));
            }
            QTest::mouseClick(edit.OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        QRect row = list.visualRect(list.model()->index(3, 1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(window.Cell(3, 1), QStringLiteral("C0"));
        QCOMPARE(window.Cell(3, 16), QStringLiteral("CF"));
        window.Frame().RouteCommand(CMD_WRITE_CHANGES);
        QCOMPARE(window.messages.back(), std::string("Changes written successfully!"));
        std::vector<std::uint8_t> written = PeekBytes(*window.platform.FindDisk(0x80), 48, 16);
        for (int n = 0; n < 16; ++n) {
            QCOMPARE(written[static_cast<std::size_t>(n)], static_cast<std::uint8_t>(0xC0 + n));
        }
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
        // Cancel leaves the bytes alone.
        dialog.Box(0)->setText(QStringLiteral("7"));
        dialog.reject();
        QCOMPARE(dialog.Bytes()[0], std::uint8_t{0x4A});
    }
};

}  // namespace

QTEST_MAIN(DiskViewsTest)
#include "disk_views_test.moc"

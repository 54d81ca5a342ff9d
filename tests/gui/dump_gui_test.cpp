// Dumps in the real window: the dumping keys, the toolbar's Previous and
// Next following the paging flags, Refresh, and a row edited in the real
// byte dialog and written back to the disk.
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "built_disk.h"
#include "gui/byte_edit_dialog.h"
#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/quorvel_app.h"
#include "gui/quorvel_view.h"
#include "screen/command_table.h"

using namespace brovane;

namespace {

constexpr std::uint32_t kVolumeStart = 2048;

imagebuilder::Disk VolumeDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 16 << 20;
    disk.primaries[0] = Primary(0x06, kVolumeStart, 20000);
    disk.volumes.push_back(Volume(imagebuilder::FatKind::Fat16, kVolumeStart, 20000));
    return disk;
}

void RunUntilIdle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Window {
    Window() : app(platform) {
        PlaceBuiltDisk(platform, VolumeDisk());
        app.Screen().SetMessageAnswerer([this](QMessageBox& box) {
            messages.push_back(box.text().toStdString());
            return box.standardButtons().testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                    : QMessageBox::Ok;
        });
        app.InitInstance();
        Frame().resize(1000, 700);
        exposed = QTest::qWaitForWindowExposed(&Frame());
    }
    CMainFrame& Frame() { return *app.MainFrame(); }
    CLeftView& Tree() { return *Frame().LeftView(); }
    QModelIndex Item(std::initializer_list<int> rows) {
        QModelIndex index;
        for (int row : rows) {
            if (index.isValid()) {
                Tree().expand(index);
            }
            index = Tree().model()->index(row, 0, index);
        }
        return index;
    }
    void Select(std::initializer_list<int> rows) {
        Tree().setCurrentIndex(Item(rows));
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

}  // namespace

class DumpGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void keysAndToolbarPageARawDump() {
        Window window;
        QVERIFY(window.exposed);
        window.Select({0, 0, 0});  // FAT 1 of the volume
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
        // Ctrl+F4 changes the other mark; raw sectors still win.
        QTest::keyClick(&window.Frame(), Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(window.app.Screen().IsMenuChecked(CMD_SECTOR_DUMPING));
        QCOMPARE(window.Frame().ListView()->model()->columnCount(), 34);
        // F5 rebuilds the tree and shows the hard disk's master boot record.
        QTest::keyClick(&window.Frame(), Qt::Key_F5);
        QCOMPARE(window.Tree().model()->rowCount(window.Item({0})), 0);
        QCOMPARE(window.Position(), QStringLiteral("Current Sector Number: 0"));
    }

    void doubleClickedRowIsEditedInTheDialogAndWritten() {
        Window window;
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

QTEST_MAIN(DumpGuiTest)
#include "dump_gui_test.moc"

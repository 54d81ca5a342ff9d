// The screen operations, one set of cases run against both front-ends: the
// text screen (brovane-batch's) and the Qt screen (the real widgets, driven
// by clicks, their models under QAbstractItemModelTester). Each front-end
// comes with a driver for the user's actions and for what is shown.
#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <tuple>

#include "batch/text_screen.h"
#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/quorvel_app.h"
#include "gui/quorvel_view.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

// What the core would answer: tree texts from the record, cells as
// "R<item data>C<column>"; every notification logged.
struct LoggingEvents : ScreenEvents {
    void OnTreeSelectionChanged(TreeItemInfo* info) override { selections.push_back(info); }
    bool OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo*, bool expandedOnce) override {
        expandedOnces.push_back(expandedOnce);
        return onExpanding ? onExpanding(item) : true;
    }
    std::string_view GetTreeItemText(const TreeItemInfo* info) override { return info->nameText; }
    void OnTreeRightClick() override { treeHits.push_back(screen->HitTestTreeAtCursor()); }
    std::string_view GetCellText(int column, std::uintptr_t itemData) override {
        return cell = "R" + std::to_string(itemData) + "C" + std::to_string(column);
    }
    void OnListDoubleClick() override { listHits.push_back(screen->HitTestListAtCursor()); }
    void OnListRightClick() override { listHits.push_back(screen->HitTestListAtCursor()); }
    void OnCommand(int) override {}

    ScreenOperations* screen = nullptr;
    std::vector<TreeItemInfo*> selections;
    std::vector<bool> expandedOnces;
    std::function<bool(TreeItemHandle)> onExpanding;
    std::vector<TreeItemHandle> treeHits;
    std::vector<int> listHits;
    std::string cell;
};

// A column as shown: heading, alignment, width.
using Shown = std::tuple<std::string, ColumnAlign, int>;

// The text screen's own user actions, and what it shows.
struct TextDriver : TextScreen {
    TextDriver() { SetEvents(&events); }
    bool Expand(TreeItemHandle item) { return TextScreen::Expand(item), IsExpanded(item); }
    std::vector<std::string> Texts(TreeItemHandle parent) {
        std::vector<std::string> texts;
        for (TreeItemHandle child : Children(parent)) {
            texts.push_back(ItemText(child));
        }
        return texts;
    }
    void ClickTree(TreeItemHandle item) { SelectTreeItem(item); }
    Shown Heading(int column) {
        const ColumnView& shown = Columns().at(static_cast<std::size_t>(column));
        return {shown.heading, shown.align, shown.width};
    }

    LoggingEvents events;
    TextScreen& screen = *this;
};

struct QtDriver {
    QtScreen& Start() {
        app.InitInstance();
        app.Screen().SetEvents(&events);
        app.MainFrame()->resize(640, 400);
        return app.Screen();
    }
    CLeftView& Tree() { return *app.MainFrame()->LeftView(); }
    CQuorvelView& List() { return *app.MainFrame()->ListView(); }
    QModelIndex At(TreeItemHandle item) { return Tree().Model().IndexOf(item); }
    static std::string Latin1(const QVariant& value) {
        return value.toString().toLatin1().toStdString();
    }
    // The Right key on the item, made current without selecting it.
    bool Expand(TreeItemHandle item) {
        Tree().selectionModel()->setCurrentIndex(At(item), QItemSelectionModel::NoUpdate);
        QTest::keyClick(&Tree(), Qt::Key_Right);
        return Tree().isExpanded(At(item));
    }
    void Collapse(TreeItemHandle item) { Tree().collapse(At(item)); }
    bool HasButton(TreeItemHandle item) { return Tree().Model().hasChildren(At(item)); }
    std::vector<std::string> Texts(TreeItemHandle parent) {
        std::vector<std::string> texts;
        for (int row = 0; row < Tree().Model().rowCount(At(parent)); ++row) {
            texts.push_back(Latin1(Tree().Model().index(row, 0, At(parent)).data()));
        }
        return texts;
    }
    // A click and a Ctrl+click, which must not take the caret away.
    void ClickTree(TreeItemHandle item) {
        QPoint on = Tree().visualRect(At(item)).center();
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, on);
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::ControlModifier, on);
    }
    static QPoint Below(QAbstractItemView& view) { return {5, view.viewport()->height() - 5}; }
    void RightClickTree(TreeItemHandle item) {
        QPoint on = item == kNoTreeItem ? Below(Tree()) : Tree().visualRect(At(item)).center();
        QTest::mouseClick(Tree().viewport(), Qt::RightButton, {}, on);
    }
    QPoint OnRow(int row) {
        QCoreApplication::processEvents();  // rows are announced in the event loop
        return row < 0 ? Below(List()) : List().visualRect(List().Model().index(row, 0)).center();
    }
    void RightClickList(int row) {
        QTest::mouseClick(List().viewport(), Qt::RightButton, {}, OnRow(row));
    }
    void DoubleClickList(int row) {
        QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, OnRow(row));
    }
    std::string CellText(int row, int column) {
        QCoreApplication::processEvents();
        return Latin1(List().Model().index(row, column).data());
    }
    Shown Heading(int column) {
        int align =
            List().Model().headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
        return {Latin1(List().Model().headerData(column, Qt::Horizontal, Qt::DisplayRole)),
                align & Qt::AlignRight     ? ColumnAlign::Right
                : align & Qt::AlignHCenter ? ColumnAlign::Center
                                           : ColumnAlign::Left,
                List().horizontalHeader()->sectionSize(column)};
    }

    MemoryPlatform platform;
    CQuorvelApp app{platform};
    LoggingEvents events;
    QtScreen& screen = Start();  // before the testers, which need the frame's models
    QAbstractItemModelTester treeTester{&Tree().Model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal};
    QAbstractItemModelTester listTester{&List().Model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal};
};

template <typename Driver>
class ScreenOperationsTest : public ::testing::Test {
  protected:
    ScreenOperationsTest() { ui.events.screen = &ops; }
    TreeItemHandle Add(std::string_view text, bool button = false, TreeItemHandle parent = 0) {
        return ops.InsertTreeItem(parent, kInsertLast, text, button, nullptr);
    }
    void Rows(int count, std::uintptr_t step = 1) {
        for (int row = 0; row < count; ++row) {
            ops.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row) * step);
        }
    }

    Driver ui;
    ScreenOperations& ops = ui.screen;
};

using Drivers = ::testing::Types<TextDriver, QtDriver>;
TYPED_TEST_SUITE(ScreenOperationsTest, Drivers);

TYPED_TEST(ScreenOperationsTest, ExpansionIsAskedAndMayBeRefused) {
    ScreenOperations& screen = this->ops;
    LoggingEvents& events = this->ui.events;
    TreeItemHandle disk = this->Add("Hard Disk 1", true);
    TreeItemHandle leaf = this->Add("Leaf");
    TreeItemHandle empty = this->Add("Empty", true);
    int calls = 0;
    events.onExpanding = [&](TreeItemHandle item) {
        if (item == disk && ++calls == 2) {
            this->Add("16-Bit FAT Disk", true, disk);
        }
        return item != disk || calls > 1;
    };
    EXPECT_FALSE(this->ui.Expand(disk));  // refused
    EXPECT_TRUE(this->ui.Expand(disk));
    this->ui.Collapse(disk);
    EXPECT_TRUE(this->ui.Expand(disk));
    // A refusal does not count as the first expansion.
    EXPECT_EQ(events.expandedOnces, (std::vector<bool>{false, false, true}));
    events.onExpanding = nullptr;
    EXPECT_FALSE(this->ui.Expand(leaf));  // no button: not asked
    EXPECT_EQ(events.expandedOnces.size(), 3u);
    // A button whose expansion brought nothing goes.
    EXPECT_TRUE(this->ui.HasButton(empty));
    EXPECT_FALSE(this->ui.Expand(empty));
    EXPECT_FALSE(this->ui.HasButton(empty));
    // The handler may rebuild the whole tree.
    events.onExpanding = [&](TreeItemHandle) {
        screen.DeleteAllTreeItems();
        this->Add("Hard Disk 1", true);
        return true;
    };
    this->ui.Collapse(disk);
    this->ui.Expand(disk);
    EXPECT_EQ(this->ui.Texts(kTreeRoot), std::vector<std::string>{"Hard Disk 1"});
    EXPECT_EQ(screen.GetTreeItemInfo(disk), nullptr);
}

TYPED_TEST(ScreenOperationsTest, RightClicksHitWithoutSelectingAndTheCaretNotifiesWhenItMoves) {
    ScreenOperations& screen = this->ops;
    this->Add("Floppy Disk 1", true);
    TreeItemHandle disk = this->Add("Hard Disk 1", true);
    this->ui.RightClickTree(disk);
    this->ui.RightClickTree(kNoTreeItem);
    EXPECT_EQ(this->ui.events.treeHits, (std::vector<TreeItemHandle>{disk, kNoTreeItem}));
    EXPECT_EQ(screen.GetCaretItem(), kNoTreeItem);
    EXPECT_TRUE(this->ui.events.expandedOnces.empty());

    screen.InsertListColumn(0, "Offset", ColumnAlign::Left, 100);
    this->Rows(5);
    screen.SetListItemState(0, true, false);
    screen.SetListItemState(2, true, false);
    // A right click focuses its row; inside the selection it keeps it,
    // outside it selects the row alone.
    this->ui.RightClickList(2);
    EXPECT_TRUE(screen.IsListItemSelected(0) && screen.IsListItemFocused(2));
    this->ui.RightClickList(1);
    EXPECT_TRUE(screen.IsListItemSelected(1) && screen.IsListItemFocused(1));
    EXPECT_FALSE(screen.IsListItemSelected(0) || screen.IsListItemSelected(2));
    this->ui.RightClickList(-1);
    this->ui.DoubleClickList(4);
    EXPECT_EQ(this->ui.events.listHits, (std::vector<int>{2, 1, -1, 4}));
    // The double-clicked row alone is selected, and focused.
    EXPECT_TRUE(screen.IsListItemSelected(4) && screen.IsListItemFocused(4));
    EXPECT_FALSE(screen.IsListItemSelected(0));

    // The caret notifies only when it changes.
    TreeItemInfo first{}, second{};
    TreeItemHandle a = screen.InsertTreeItem(kTreeRoot, kInsertLast, "A", false, &first);
    TreeItemHandle b = screen.InsertTreeItem(kTreeRoot, kInsertLast, "B", false, &second);
    this->ui.ClickTree(a);
    EXPECT_EQ(screen.GetCaretItem(), a);
    screen.SelectTreeItem(b);
    screen.SelectTreeItem(b);
    EXPECT_EQ(screen.GetCaretItem(), b);
    screen.SelectTreeItem(kNoTreeItem);
    screen.SelectTreeItem(a);
    screen.DeleteAllTreeItems();
    EXPECT_EQ(screen.GetCaretItem(), kNoTreeItem);
    screen.DeleteAllTreeItems();  // nothing selected: nothing to say
    EXPECT_EQ(this->ui.events.selections,
              (std::vector<TreeItemInfo*>{&first, &second, nullptr, &first, nullptr}));
}

TYPED_TEST(ScreenOperationsTest, ItemsColumnsAndRowsGoWhereTheyAreInserted) {
    ScreenOperations& screen = this->ops;
    // Tree items go behind their sibling, with a text or a callback.
    TreeItemInfo docs{};
    docs.nameText = "DOCS\xE5";
    TreeItemHandle root = this->Add("Root Directory", true);
    TreeItemHandle first = screen.InsertCallbackTreeItem(root, kInsertLast, true, &docs);
    this->Add("LAST", false, root);
    screen.InsertTreeItem(root, first, "SECOND", false, nullptr);
    EXPECT_EQ(this->ui.Texts(root), (std::vector<std::string>{"DOCS\xE5", "SECOND", "LAST"}));
    EXPECT_EQ(screen.GetTreeItemInfo(first), &docs);
    docs.nameText = "NOTES";  // a callback text is asked again, not kept
    EXPECT_EQ(this->ui.Texts(root).front(), "NOTES");

    screen.InsertListColumn(0, "Field", ColumnAlign::Left, 120);
    screen.InsertListColumn(1, "Value", ColumnAlign::Right, 80);
    screen.InsertListColumn(1, "Offset", ColumnAlign::Center, 60);
    ASSERT_EQ(screen.GetListColumnCount(), 3);
    EXPECT_EQ(this->ui.Heading(0), Shown("Field", ColumnAlign::Left, 120));
    EXPECT_EQ(this->ui.Heading(1), Shown("Offset", ColumnAlign::Center, 60));
    EXPECT_EQ(this->ui.Heading(2), Shown("Value", ColumnAlign::Right, 80));
    this->Rows(4, 32);
    EXPECT_EQ(screen.InsertCallbackListItem(2, 7), 2);
    EXPECT_EQ(screen.InsertListItem(0, "St\xF6red"), 0);
    EXPECT_EQ(screen.InsertCallbackListItem(99, 192), 6);  // past the end: appended
    EXPECT_EQ(screen.InsertCallbackListItem(-4, 5), 0);    // before the start: first
    screen.SetListItemText(1, 2, "80");
    screen.SetListItemText(2, 2, "XX");  // a callback row stores nothing
    std::vector<std::string> cells;
    for (int row = 0; row < screen.GetListItemCount(); ++row) {
        cells.push_back(this->ui.CellText(row, 0) + "|" + this->ui.CellText(row, 2));
    }
    EXPECT_EQ(cells, (std::vector<std::string>{"R5C0|R5C2", "St\xF6red|80", "R0C0|R0C2",
                                               "R32C0|R32C2", "R7C0|R7C2", "R64C0|R64C2",
                                               "R96C0|R96C2", "R192C0|R192C2"}));
    screen.DeleteListColumn(0);
    screen.DeleteListColumn(7);
    EXPECT_EQ(std::get<0>(this->ui.Heading(0)), "Offset");
    EXPECT_EQ(screen.GetListColumnCount(), 2);
}

TYPED_TEST(ScreenOperationsTest, TheClipboardHoldsEightBitText) {
    this->ops.SetClipboardText("00  55 \xE5\nAA");
    EXPECT_EQ(this->ops.ClipboardText(), "00  55 \xE5\nAA");
}

// The Qt list asks for callback cells when it draws: a redraw announces
// exactly the rows asked for.
TEST(QtScreen, RedrawAnnouncesTheRowsAskedFor) {
    QtDriver ui;
    ui.screen.InsertListColumn(0, "Offset", ColumnAlign::Left, 70);
    ui.screen.InsertListColumn(1, "00", ColumnAlign::Left, 24);
    for (int row = 0; row < 4; ++row) {
        ui.screen.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row));
    }
    QCoreApplication::processEvents();
    QSignalSpy changed(&ui.List().Model(), &QAbstractItemModel::dataChanged);
    ui.screen.RedrawListItems(1, 2);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), ui.List().Model().index(1, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), ui.List().Model().index(2, 1));
    ui.screen.InsertListColumn(2, "Value", ColumnAlign::Right, 80);  // cells follow the heading
    EXPECT_TRUE(ui.List().Model().index(1, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
}

}  // namespace
}  // namespace brovane

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

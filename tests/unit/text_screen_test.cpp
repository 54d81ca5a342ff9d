#include "batch/text_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree/tree_item_info.h"

namespace brovane {
namespace {

// Records the notifications and answers as told.
class RecordingEvents : public ScreenEvents {
  public:
    std::vector<std::string> log;
    bool allowExpansion = true;
    std::vector<std::uintptr_t> cellData;
    TextScreen* screen = nullptr;
    TreeItemHandle addChildOnExpand = kNoTreeItem;

    void OnTreeSelectionChanged(TreeItemInfo* info) override {
        log.push_back(info == nullptr ? "select none" : "select " + std::to_string(info->kind));
    }
    bool OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo*, bool expandedOnce) override {
        log.push_back(std::string("expanding once=") + (expandedOnce ? "1" : "0"));
        if (allowExpansion && item == addChildOnExpand) {
            screen->InsertTreeItem(item, kInsertLast, "child", false, nullptr);
        }
        return allowExpansion;
    }
    std::string_view GetTreeItemText(const TreeItemInfo* info) override { return info->nameText; }
    void OnTreeRightClick() override {}
    std::string_view GetCellText(int column, std::uintptr_t itemData) override {
        cellData.push_back(itemData);
        text = std::to_string(column) + ":" + std::to_string(itemData);
        return text;
    }
    void OnListDoubleClick() override { log.push_back("double click"); }
    void OnListRightClick() override { log.push_back("list right click"); }
    void OnCommand(int command) override { log.push_back("command " + std::to_string(command)); }

  private:
    std::string text;
};

class TextScreenTest : public ::testing::Test {
  protected:
    TextScreenTest() : screen([this](std::string_view line) { printed.emplace_back(line); }) {
        events.screen = &screen;
        screen.SetEvents(&events);
    }
    std::vector<std::string> printed;
    RecordingEvents events;
    TextScreen screen;
};

TEST_F(TextScreenTest, ItemsGoBehindTheGivenSiblingOrLast) {
    TreeItemHandle a = screen.InsertTreeItem(kTreeRoot, kInsertLast, "A", false, nullptr);
    TreeItemHandle c = screen.InsertTreeItem(kTreeRoot, kInsertLast, "C", false, nullptr);
    TreeItemHandle b = screen.InsertTreeItem(kTreeRoot, a, "B", false, nullptr);
    EXPECT_EQ(screen.Children(kTreeRoot), (std::vector<TreeItemHandle>{a, b, c}));
    TreeItemHandle child = screen.InsertTreeItem(b, kInsertLast, "B1", false, nullptr);
    EXPECT_EQ(screen.Parent(child), b);
    EXPECT_EQ(screen.InsertTreeItem(999, kInsertLast, "orphan", false, nullptr), kNoTreeItem);
}

TEST_F(TextScreenTest, ExpandButtonFollowsFlagChildrenAndFirstExpansion) {
    TreeItemInfo info{};
    TreeItemHandle empty = screen.InsertTreeItem(kTreeRoot, kInsertLast, "empty", true, &info);
    TreeItemHandle full = screen.InsertTreeItem(kTreeRoot, kInsertLast, "full", true, &info);
    TreeItemHandle leaf = screen.InsertTreeItem(kTreeRoot, kInsertLast, "leaf", false, &info);
    events.addChildOnExpand = full;
    EXPECT_TRUE(screen.HasButton(empty));
    EXPECT_FALSE(screen.HasButton(leaf));
    EXPECT_FALSE(screen.Expand(leaf));

    EXPECT_TRUE(screen.Expand(empty));
    EXPECT_FALSE(screen.HasButton(empty));  // expanded once, found nothing
    EXPECT_TRUE(screen.Expand(full));
    EXPECT_TRUE(screen.IsExpanded(full));
    screen.Collapse(full);
    EXPECT_FALSE(screen.IsExpanded(full));
    EXPECT_TRUE(screen.HasButton(full));
    EXPECT_TRUE(screen.Expand(full));  // asked again, now as expanded once
    EXPECT_EQ(events.log, (std::vector<std::string>{"expanding once=0", "expanding once=0",
                                                    "expanding once=1"}));
    EXPECT_EQ(screen.Children(full).size(), 2u);
}

TEST_F(TextScreenTest, RefusedExpansionStaysCollapsedAndIsAskedAgainAsNew) {
    TreeItemInfo info{};
    TreeItemHandle item = screen.InsertTreeItem(kTreeRoot, kInsertLast, "disk", true, &info);
    events.allowExpansion = false;
    screen.Expand(item);
    screen.Expand(item);
    EXPECT_FALSE(screen.IsExpanded(item));
    EXPECT_TRUE(screen.HasButton(item));
    EXPECT_EQ(events.log, (std::vector<std::string>{"expanding once=0", "expanding once=0"}));
}

TEST_F(TextScreenTest, SelectionNotifiesOnlyOnChangeAndDeletingAllSelectsNone) {
    TreeItemInfo disk{};
    disk.kind = IK_HARD_DISK;
    TreeItemInfo volume{};
    volume.kind = IK_VOLUME;
    TreeItemHandle a = screen.InsertTreeItem(kTreeRoot, kInsertLast, "a", true, &disk);
    TreeItemHandle b = screen.InsertTreeItem(kTreeRoot, kInsertLast, "b", true, &volume);
    screen.SelectTreeItem(a);
    screen.SelectTreeItem(a);
    screen.SelectTreeItem(b);
    screen.SelectTreeItem(12345);  // no such item: nothing happens
    EXPECT_EQ(screen.GetCaretItem(), b);
    EXPECT_EQ(screen.GetTreeItemInfo(b), &volume);
    screen.DeleteAllTreeItems();
    EXPECT_EQ(screen.GetCaretItem(), kNoTreeItem);
    EXPECT_TRUE(screen.Children(kTreeRoot).empty());
    EXPECT_EQ(events.log, (std::vector<std::string>{"select 0", "select 1", "select none"}));
}

TEST_F(TextScreenTest, ListStoresTextsAndAsksCallbackCellsWithTheirItemData) {
    screen.InsertListColumn(0, "Field", ColumnAlign::Left, 100);
    screen.InsertListColumn(1, "Value", ColumnAlign::Right, 80);
    screen.InsertListColumn(0, "First", ColumnAlign::Left, 10);
    ASSERT_EQ(screen.GetListColumnCount(), 3);
    EXPECT_EQ(screen.Columns()[0].heading, "First");
    screen.DeleteListColumn(0);
    EXPECT_EQ(screen.Columns()[0].heading, "Field");

    EXPECT_EQ(screen.InsertListItem(0, "Boot"), 0);
    screen.SetListItemText(0, 1, "0x80");
    EXPECT_EQ(screen.InsertCallbackListItem(1, 4096), 1);
    EXPECT_EQ(screen.InsertListItem(99, "end"), 2);  // past the end goes last
    EXPECT_EQ(screen.CellText(0, 0), "Boot");
    EXPECT_EQ(screen.CellText(0, 1), "0x80");
    EXPECT_EQ(screen.CellText(0, 5), "");
    EXPECT_EQ(screen.CellText(1, 7), "7:4096");
    EXPECT_EQ(screen.CellText(9, 0), "");
    EXPECT_EQ(events.cellData, (std::vector<std::uintptr_t>{4096}));
    screen.DeleteAllListItems();
    EXPECT_EQ(screen.GetListItemCount(), 0);
}

TEST_F(TextScreenTest, OneRowHoldsTheFocusAndDoubleClickFocusesItsRow) {
    for (int row = 0; row < 4; ++row) {
        screen.InsertCallbackListItem(row, static_cast<std::uintptr_t>(row));
    }
    screen.SetListItemState(1, true, true);
    screen.SetListItemState(2, false, true);
    EXPECT_FALSE(screen.IsListItemFocused(1));
    EXPECT_TRUE(screen.IsListItemSelected(1));
    EXPECT_TRUE(screen.IsListItemFocused(2));
    screen.DoubleClickList(3);
    EXPECT_TRUE(screen.IsListItemFocused(3));
    EXPECT_TRUE(screen.IsListItemSelected(3));
    EXPECT_FALSE(screen.IsListItemSelected(1));
    EXPECT_EQ(events.log.back(), "double click");
}

TEST_F(TextScreenTest, ConfirmationsTakeQueuedAnswersAndUnansweredOnesSayNo) {
    screen.QueueAnswer(true);
    EXPECT_TRUE(screen.Confirm("Are you sure to write to disk?"));
    EXPECT_FALSE(screen.Confirm("Are you sure to write to disk?"));
    EXPECT_EQ(printed, (std::vector<std::string>{"confirm: Are you sure to write to disk? -> yes",
                                                 "confirm: Are you sure to write to disk? -> no"}));
}

TEST(EscapeText, KeepsOneLinePerRowWhateverTheBytes) {
    EXPECT_EQ(EscapeText("plain text"), "plain text");
    EXPECT_EQ(EscapeText("a\\b"), "a\\\\b");
    EXPECT_EQ(EscapeText(std::string("\x00\x1F\x7F\x80\xE5 ~", 7)), "\\x00\\x1F\\x7F\\x80\\xE5 ~");
    EXPECT_EQ(EscapeText("line\nbreak\r"), "line\\x0Abreak\\x0D");
}

}  // namespace
}  // namespace brovane

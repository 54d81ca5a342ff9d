// The text front-end's tree, list and boxes where the core's tests, which
// drive it through brovane-batch, would not notice a fault: expansion and
// the list's cells show in every walk and listing there.
#include "batch/text_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree/tree_item_info.h"

namespace brovane {
namespace {

// Records the notifications.
class RecordingEvents : public ScreenEvents {
  public:
    std::vector<std::string> log;

    void OnTreeSelectionChanged(TreeItemInfo* info) override {
        log.push_back(info == nullptr ? "select none" : "select " + std::to_string(info->kind));
    }
    bool OnTreeItemExpanding(TreeItemHandle, TreeItemInfo*, bool) override { return true; }
    std::string_view GetTreeItemText(const TreeItemInfo* info) override { return info->nameText; }
    void OnTreeRightClick() override {}
    std::string_view GetCellText(int, std::uintptr_t) override { return {}; }
    void OnListDoubleClick() override { log.push_back("double click"); }
    void OnListRightClick() override {}
    void OnCommand(int) override {}
};

class TextScreenTest : public ::testing::Test {
  protected:
    TextScreenTest() : screen([this](std::string_view line) { printed.emplace_back(line); }) {
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

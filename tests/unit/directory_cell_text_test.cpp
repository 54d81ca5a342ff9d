#include "present/directory_cell_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "format/long_name.h"
#include "imagebuilder/dos_date_time.h"
#include "present/cell_text.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

using imagebuilder::DosDate;
using imagebuilder::DosTime;

DirectoryRow Row(const char (&shortName)[13], std::uint8_t attributes) {
    DirectoryRow row{};
    std::memcpy(row.shortName.data(), shortName, 13);
    row.attributes = attributes;
    return row;
}

std::string Cell(const DirectoryRow& row, int column) {
    std::string text = "left over";
    text.clear();
    AppendDirectoryCellText(row, column, text);
    return text;
}

TEST(DirectoryCellTextTest, EightColumnsOfOneRow) {
    DirectoryRow row = Row("README  .TXT", 0x21);
    row.longName = "readme.txt";
    row.startCluster = 0x00012345;
    row.fileSize = 4294967295u;
    row.modifiedDate = DosDate(2001, 3, 5);
    row.modifiedTime = DosTime(9, 7, 42);
    row.createdDate = DosDate(1980, 12, 31);
    row.accessedDate = DosDate(2107, 1, 1);
    EXPECT_EQ(Cell(row, 0), "README  .TXT");  // padding spaces kept
    EXPECT_EQ(Cell(row, 1), "readme.txt");
    EXPECT_EQ(Cell(row, 2), "00012345");
    EXPECT_EQ(Cell(row, 3), "RA");
    EXPECT_EQ(Cell(row, 4), "4294967295");
    EXPECT_EQ(Cell(row, 5), "5 Mar 2001 9:07:42");
    EXPECT_EQ(Cell(row, 6), "31 Dec 1980");
    EXPECT_EQ(Cell(row, 7), "1 Jan 2107");
    EXPECT_EQ(Cell(row, 8), "");
    EXPECT_EQ(Cell(row, -1), "");
}

TEST(DirectoryCellTextTest, AttributeLettersInTheirOrderThenTheDeletedMark) {
    EXPECT_EQ(Cell(Row("\xE5"
                       "EMP    .TMP",
                       0x27),
                   3),
              "RHSA-Deleted");
    EXPECT_EQ(Cell(Row("\x05"
                       "EMP    .TMP",
                       0x20),
                   3),
              "A-Deleted");  // 0x05 counts as deleted
    EXPECT_EQ(Cell(Row("ALL     .   ", 0x3F), 3), "RHSAVD");
    EXPECT_EQ(Cell(Row("DOCS    .   ", 0x10), 3), "D");
    EXPECT_EQ(Cell(Row("LABEL   .   ", 0x08), 3), "V");
    EXPECT_EQ(Cell(Row("PLAIN   .   ", 0xC0), 3), "");  // bits 0x40 and 0x80 have no letter
}

TEST(DirectoryCellTextTest, DatesOnlyWhereTheDateWordIsSet) {
    DirectoryRow row = Row("A       .   ", 0);
    row.modifiedTime = 0x4800;
    EXPECT_EQ(Cell(row, 5), "");  // a zero date hides a nonzero time
    EXPECT_EQ(Cell(row, 6), "");
    EXPECT_EQ(Cell(row, 7), "");
    row.modifiedDate = DosDate(2024, 1, 15);
    row.modifiedTime = 0;
    EXPECT_EQ(Cell(row, 5), "15 Jan 2024 0:00:00");
    row.modifiedTime = 0xFFFF;  // fields as stored, out of range or not
    EXPECT_EQ(Cell(row, 5), "15 Jan 2024 31:63:62");
}

TEST(DirectoryCellTextTest, MonthsOutsideTheTwelveNamesShowQuestionMarks) {
    DirectoryRow row = Row("A       .   ", 0);
    for (unsigned month : {0u, 13u, 14u, 15u}) {
        row.createdDate = static_cast<std::uint16_t>((21u << 9) | (month << 5) | 7u);
        EXPECT_EQ(Cell(row, 6), "7 ??? 2001") << month;
    }
    const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (unsigned month = 1; month <= 12; ++month) {
        row.accessedDate = DosDate(1999, month, 1);
        EXPECT_EQ(Cell(row, 7), std::string("1 ") + names[month - 1] + " 1999");
    }
}

TEST(DirectoryCellTextTest, NamesAreShownWholeUpToTheirFirstZero) {
    DirectoryRow row = Row("AB\0DE   .TXT", 0);
    EXPECT_EQ(Cell(row, 0), "AB");
    const std::string longest(255, 'n');
    row.longName = longest;
    EXPECT_EQ(Cell(row, 1), longest);
}

// CellText answers the directory modes from the store, by row index.
class DirectoryCellsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeDirectoryRowStore(platform, pane.directoryRows, 1));
        data.resize(512);
        const char entries[] = "README  TXT";
        std::memcpy(data.data(), entries, 11);
        std::memcpy(data.data() + 32, "OTHER   TXT", 11);
        first = *AppendDirectoryRow(pane.directoryRows, Row("README  .TXT", 0x20), data, 0);
        second = *AppendDirectoryRow(pane.directoryRows, Row("OTHER   .TXT", 0x01), data, 1);
    }
    std::string Text(int column, std::uintptr_t index) {
        return std::string(CellText(pane, column, index, text));
    }

    MemoryPlatform platform;
    RightPaneState pane;
    std::vector<std::uint8_t> data;
    std::string text;
    std::uintptr_t first = 0;
    std::uintptr_t second = 0;
};

TEST_F(DirectoryCellsTest, BothDirectoryModesReadTheRowAtTheIndex) {
    for (ViewMode mode : {VM_ROOT_DIR, VM_SUBDIRECTORY}) {
        pane.viewMode = mode;
        EXPECT_EQ(Text(0, first), "README  .TXT");
        EXPECT_EQ(Text(3, second), "R");
        EXPECT_EQ(Text(1, second), "");
    }
    pane.viewMode = VM_NONE;
    EXPECT_EQ(Text(0, first), "");
}

TEST_F(DirectoryCellsTest, IndexesTheStoreDoesNotHoldGiveEmptyCells) {
    pane.viewMode = VM_SUBDIRECTORY;
    EXPECT_EQ(Text(0, second + 1), "");  // too little behind it for a record
    EXPECT_EQ(Text(0, second + 1000), "");
    EXPECT_EQ(Text(0, ~std::uintptr_t{0}), "");
    ReleasePaneBlocks(pane);
    EXPECT_EQ(Text(0, first), "");
    EXPECT_EQ(platform.LiveBlocks(), 0u);
}

}  // namespace
}  // namespace brovane

// The cells the list draws, where brovane-batch cannot reach: offsets past
// 4 GiB, rows and columns the buffer does not hold, and every month name. The cells of dumps, FAT
// grids and listings on real and damaged disks are the acceptance tests' and the corpus's.
#include "present/cell_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imagebuilder/dos_date_time.h"
#include "present/directory_cell_text.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

// A pane filled by hand: a view mode and a buffer of given bytes.
class CellTextTest : public ::testing::Test {
  protected:
    void Fill(ViewMode mode, const std::vector<std::uint8_t>& bytes, std::size_t size) {
        pane.viewMode = mode;
        pane.unitSectors = 1;
        pane.currentBuffer = PlatformBlock::Allocate(platform, size);
        ASSERT_TRUE(pane.currentBuffer);
        std::copy(bytes.begin(), bytes.end(), pane.currentBuffer.data());
    }
    std::string Cell(int column, std::uintptr_t itemData) {
        return std::string(CellText(pane, column, itemData, text));
    }

    MemoryPlatform platform;
    RightPaneState pane;
    std::string text = "left over";
};

TEST_F(CellTextTest, DumpCellsOutsideTheRowOrBufferAreBlankAndOffsetsWrapAtFourGiB) {
    std::vector<std::uint8_t> bytes(520, 0x61);
    bytes[16] = 0x41;
    Fill(VM_SECTOR_DUMP, bytes, 520);  // a short last row of 8 bytes
    const std::uintptr_t wrapping = std::uintptr_t{1} << (sizeof(std::uintptr_t) * 8 - 4);
    const std::tuple<int, std::uintptr_t, const char*> cells[] = {
        {1, 1, "41"}, {18, 1, "A"},        {33, 1, "a"},      {-1, 1, ""},        {17, 1, ""},
        {34, 1, ""},  {8, 32, "61"},       {9, 32, ""},       {25, 32, "a"},      {26, 32, ""},
        {1, 33, ""},  {0, 33, "00000210"}, {1, wrapping, ""}, {18, wrapping, ""},
    };
    for (const auto& [column, row, expected] : cells) {
        EXPECT_EQ(Cell(column, row), expected) << column << ", row " << row;
    }
    // The text is reused; no view mode gives empty cells.
    EXPECT_EQ(CellText(pane, 18, 1, text).data(), text.data());
    pane.viewMode = VM_NONE;
    EXPECT_EQ(Cell(1, 0), "");
    pane.viewMode = VM_SECTOR_DUMP;
    pane.currentBuffer.Release();
    EXPECT_EQ(Cell(1, 0), "");
    EXPECT_EQ(Cell(0, 0), "00000000");
    // The offset column shows the low 32 bits of the byte offset.
    Fill(VM_RAW_SECTOR_DUMP, {}, 512);
    pane.currentIndex = 0x800001;  // sector 2^23 + 1: byte 4 GiB + 512
    EXPECT_EQ(Cell(0, 1), "00000210");
}

// ---- Directory listings ----

DirectoryRow Row(const char (&shortName)[13], std::uint8_t attributes) {
    DirectoryRow row{};
    std::memcpy(row.shortName.data(), shortName, 13);
    row.attributes = attributes;
    return row;
}

std::string Cell(const DirectoryRow& row, int column) {
    std::string text;
    AppendDirectoryCellText(row, column, text);
    return text;
}

TEST(DirectoryCellTextTest, ColumnsLettersAndMonthNames) {
    DirectoryRow row = Row("AB\0DE   .TXT", 0x27);
    row.longName = "long";
    row.startCluster = 0x00012345;
    row.modifiedDate = imagebuilder::DosDate(2001, 3, 5);
    row.modifiedTime = imagebuilder::DosTime(9, 7, 42);
    const char* expected[] = {"AB", "long", "00012345", "RHSA", "0", "5 Mar 2001 9:07:42"};
    for (int column = -1; column <= 8; ++column) {
        EXPECT_EQ(Cell(row, column), column >= 0 && column < 6 ? expected[column] : "") << column;
    }
    // A first byte of 0xE5 or 0x05 marks the entry deleted.
    EXPECT_EQ(Cell(Row("\xE5XMP    .TMP", 0x3F), 3), "RHSAVD-Deleted");
    EXPECT_EQ(Cell(Row("\x05XMP    .TMP", 0x10), 3), "D-Deleted");
    const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (unsigned month = 1; month <= 12; ++month) {
        row.accessedDate = imagebuilder::DosDate(1999, month, 1);
        EXPECT_EQ(Cell(row, 7), std::string("1 ") + names[month - 1] + " 1999");
    }
}

}  // namespace
}  // namespace brovane

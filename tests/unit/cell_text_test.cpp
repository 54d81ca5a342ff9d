// The cells the list draws, through the one entry point for every view mode:
// dumps, FAT grids and directory listings, with every cell checked against
// the buffer's real size.
#include "present/cell_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "imagebuilder/dos_date_time.h"
#include "present/directory_cell_text.h"
#include "support/memory_platform.h"

namespace brovane {
namespace {

using imagebuilder::DosDate;
using imagebuilder::DosTime;

// A pane filled by hand: a view mode, a buffer of given bytes and a position.
class CellTextTest : public ::testing::Test {
  protected:
    void Fill(ViewMode mode, const std::vector<std::uint8_t>& bytes, std::size_t size) {
        pane.viewMode = mode;
        pane.currentBuffer = PlatformBlock::Allocate(platform, size);
        ASSERT_TRUE(pane.currentBuffer);
        std::copy(bytes.begin(), bytes.end(), pane.currentBuffer.data());
    }
    std::string Cell(int column, std::uintptr_t itemData) {
        return std::string(CellText(pane, column, itemData, text));
    }
    // Columns first..last of a row, joined by spaces.
    std::string Cells(std::uintptr_t itemData, int first, int last) {
        std::string joined;
        for (int column = first; column <= last; ++column) {
            joined += (column == first ? "" : " ") + Cell(column, itemData);
        }
        return joined;
    }

    MemoryPlatform platform;
    RightPaneState pane;
    std::string text = "left over";
};

TEST_F(CellTextTest, DumpRowShowsOffsetHexGapAndTheBytesThemselves) {
    std::vector<std::uint8_t> bytes(32, 0);
    const std::uint8_t row1[] = {0x41, 0x00, 0x0D, 0x7F, 0xE5, 0x20, 0xFF};
    std::copy(std::begin(row1), std::end(row1), bytes.begin() + 16);
    Fill(VM_SECTOR_DUMP, bytes, 512);
    pane.unitSectors = 1;
    EXPECT_EQ(Cell(0, 1), "00000010");
    EXPECT_EQ(Cells(1, 1, 8), "41 00 0D 7F E5 20 FF 00");
    EXPECT_EQ(Cell(17, 1), "");
    // A zero byte gives no text.
    EXPECT_EQ(Cells(1, 18, 22), "A  \r \x7F \xE5");
    for (int column : {-1, 33, 34, 100}) {
        EXPECT_EQ(Cell(column, 1), "") << column;
    }
}

TEST_F(CellTextTest, DumpOffsetRunsOnAcrossUnitsAndWrapsAtFourGigabytes) {
    Fill(VM_SECTOR_DUMP, {}, 512);
    pane.unitSectors = 1;
    pane.currentIndex = 3;
    EXPECT_EQ(Cell(0, 0), "00000600");
    EXPECT_EQ(Cell(0, 31), "000007F0");
    pane.viewMode = VM_CLUSTER_DUMP;
    pane.unitSectors = 8;
    pane.currentIndex = 2;
    EXPECT_EQ(Cell(0, 0), "00002000");
    pane.viewMode = VM_RAW_SECTOR_DUMP;
    pane.unitSectors = 1;
    pane.currentIndex = 0x800000;  // sector 2^23: byte 4 GiB
    EXPECT_EQ(Cell(0, 1), "00000010");
}

TEST_F(CellTextTest, DumpCellsPastTheBufferAreBlank) {
    std::vector<std::uint8_t> bytes(520, 0x61);
    Fill(VM_SECTOR_DUMP, bytes, 520);  // a short last row of 8 bytes
    pane.unitSectors = 1;
    EXPECT_EQ(Cells(32, 8, 9), "61 ");
    EXPECT_EQ(Cells(32, 25, 26), "a ");
    EXPECT_EQ(Cells(33, 1, 16), std::string(15, ' '));
    // A row number whose byte index would wrap to the buffer's start.
    std::uintptr_t wrapping = std::uintptr_t{1} << (sizeof(std::uintptr_t) * 8 - 4);
    EXPECT_EQ(Cell(1, wrapping), "");
    EXPECT_EQ(Cell(18, wrapping), "");
    pane.currentBuffer.Release();
    EXPECT_EQ(Cell(1, 0), "");
    EXPECT_EQ(Cell(0, 0), "00000000");
}

TEST_F(CellTextTest, Fat16RowsAreByteOffsetsOfSixteenWords) {
    std::vector<std::uint8_t> bytes(64, 0);
    bytes[0] = 0xF8;
    bytes[1] = 0xFF;
    bytes[32] = 0x34;  // entry 16
    bytes[33] = 0x12;
    bytes[62] = 0xF8;  // entry 31
    bytes[63] = 0xFF;
    Fill(VM_FAT16, bytes, 512);
    EXPECT_EQ(Cells(0, 0, 1), "00000000 FFF8");
    EXPECT_EQ(Cells(32, 0, 2), "00000010 1234 0000");
    EXPECT_EQ(Cells(32, 16, 17), "FFF8 ");
    EXPECT_EQ(Cell(16, 480), "0000");  // entry 255, the last word read
    EXPECT_EQ(Cell(1, 512), "");       // past the buffer
    EXPECT_EQ(Cell(16, 481), "");      // half a word inside
}

TEST_F(CellTextTest, Fat32EntriesKeepTheirLowTwentyEightBits) {
    Fill(VM_FAT32, {0x07, 0x00, 0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xE5, 0xE5, 0xE5, 0xE5}, 512);
    EXPECT_EQ(Cells(0, 0, 4), "00000000 00000007 0FFFFFFF 05E5E5E5 00000000");
    EXPECT_EQ(Cell(0, 64), "00000010");
    EXPECT_EQ(Cell(0, 448), "00000070");
    EXPECT_EQ(Cell(16, 448), "00000000");  // entry 127, the last word read
    EXPECT_EQ(Cell(1, 512), "");
}

TEST_F(CellTextTest, Fat12PairsShareThreeBytesAndAPartialLastRowIsBlank) {
    std::vector<std::uint8_t> bytes(512, 0);
    const std::uint8_t start[] = {0xF0, 0xFF, 0xFF, 0x03, 0x40, 0x00};  // entries 2 and 3: 3, 4
    std::copy(std::begin(start), std::end(start), bytes.begin());
    bytes[24] = 0xAB;  // entry 16
    bytes[25] = 0x0C;
    for (std::size_t i = 504; i < 512; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x11 * (i - 503));
    }
    Fill(VM_FAT12, bytes, 512);
    EXPECT_EQ(Cells(0, 0, 5), "00000000 FF0 FFF 003 004 000");
    EXPECT_EQ(Cells(1, 0, 1), "00000010 CAB");
    // One sector: the 22nd row begins at byte 504; entries 336-340 lie
    // inside it, 341-351 reach past it.
    EXPECT_EQ(Cell(0, 21), "00000150");
    EXPECT_EQ(Cells(21, 1, 5), "211 332 544 665 877");
    EXPECT_EQ(Cells(21, 6, 16), std::string(10, ' '));
    EXPECT_EQ(Cell(1, 22), "");
}

TEST_F(CellTextTest, NoViewModeGivesEmptyCellsAndTheTextIsReused) {
    Fill(VM_NONE, {0x41, 0x42}, 512);
    EXPECT_EQ(Cell(0, 0), "");
    EXPECT_EQ(Cell(18, 0), "");
    pane.viewMode = VM_SECTOR_DUMP;
    std::string_view first = CellText(pane, 18, 0, text);
    EXPECT_EQ(first, "A");
    EXPECT_EQ(first.data(), text.data());
    EXPECT_EQ(CellText(pane, 19, 0, text), "B");
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

TEST(DirectoryCellTextTest, EightColumnsOfOneRow) {
    DirectoryRow row = Row("README  .TXT", 0x21);
    row.longName = "readme.txt";
    row.startCluster = 0x00012345;
    row.fileSize = 4294967295u;
    row.modifiedDate = DosDate(2001, 3, 5);
    row.modifiedTime = DosTime(9, 7, 42);
    row.createdDate = DosDate(1980, 12, 31);
    row.accessedDate = DosDate(2107, 1, 1);
    const char* expected[] = {"README  .TXT",       "readme.txt",  "00012345",   "RA", "4294967295",
                              "5 Mar 2001 9:07:42", "31 Dec 1980", "1 Jan 2107", ""};
    for (int column = -1; column <= 8; ++column) {
        EXPECT_EQ(Cell(row, column), column < 0 ? "" : expected[column]) << column;
    }
    // Names are shown whole up to their first zero.
    std::memcpy(row.shortName.data(), "AB\0DE   .TXT", 13);
    EXPECT_EQ(Cell(row, 0), "AB");
    const std::string longest(255, 'n');
    row.longName = longest;
    EXPECT_EQ(Cell(row, 1), longest);
}

TEST(DirectoryCellTextTest, AttributeLettersInTheirOrderThenTheDeletedMark) {
    const std::pair<DirectoryRow, const char*> cases[] = {
        {Row("\xE5"
             "EMP    .TMP",
             0x27),
         "RHSA-Deleted"},
        {Row("\x05"
             "EMP    .TMP",
             0x20),
         "A-Deleted"},  // 0x05 counts as deleted
        {Row("ALL     .   ", 0x3F), "RHSAVD"},
        {Row("DOCS    .   ", 0x10), "D"},
        {Row("LABEL   .   ", 0x08), "V"},
        {Row("PLAIN   .   ", 0xC0), ""},  // bits 0x40 and 0x80 have no letter
    };
    for (const auto& [row, letters] : cases) {
        EXPECT_EQ(Cell(row, 3), letters) << row.shortName.data();
    }
}

TEST(DirectoryCellTextTest, DatesAsStoredOnlyWhereTheDateWordIsSet) {
    DirectoryRow row = Row("A       .   ", 0);
    row.modifiedTime = 0x4800;
    for (int column : {5, 6, 7}) {
        EXPECT_EQ(Cell(row, column), "") << column;  // a zero date hides a nonzero time
    }
    row.modifiedDate = DosDate(2024, 1, 15);
    row.modifiedTime = 0;
    EXPECT_EQ(Cell(row, 5), "15 Jan 2024 0:00:00");
    row.modifiedTime = 0xFFFF;  // fields as stored, out of range or not
    EXPECT_EQ(Cell(row, 5), "15 Jan 2024 31:63:62");
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

TEST_F(CellTextTest, DirectoryModesReadTheRowAtTheIndexFromTheStore) {
    ASSERT_TRUE(MakeDirectoryRowStore(platform, pane.directoryRows, 1));
    std::vector<std::uint8_t> data(512);
    std::memcpy(data.data(), "README  TXT", 11);
    std::memcpy(data.data() + 32, "OTHER   TXT", 11);
    std::uintptr_t first =
        *AppendDirectoryRow(pane.directoryRows, Row("README  .TXT", 0x20), data, 0);
    std::uintptr_t second =
        *AppendDirectoryRow(pane.directoryRows, Row("OTHER   .TXT", 0x01), data, 1);
    for (ViewMode mode : {VM_ROOT_DIR, VM_SUBDIRECTORY}) {
        pane.viewMode = mode;
        EXPECT_EQ(Cell(0, first), "README  .TXT");
        EXPECT_EQ(Cell(3, second), "R");
        EXPECT_EQ(Cell(1, second), "");
    }
    // Indexes the store does not hold give empty cells.
    EXPECT_EQ(Cell(0, second + 1), "");  // too little behind it for a record
    EXPECT_EQ(Cell(0, second + 1000), "");
    EXPECT_EQ(Cell(0, ~std::uintptr_t{0}), "");
    pane.viewMode = VM_NONE;
    EXPECT_EQ(Cell(0, first), "");
    pane.viewMode = VM_SUBDIRECTORY;
    ReleasePaneBlocks(pane);
    EXPECT_EQ(Cell(0, first), "");
    EXPECT_EQ(platform.LiveBlocks(), 0u);
}

}  // namespace
}  // namespace brovane

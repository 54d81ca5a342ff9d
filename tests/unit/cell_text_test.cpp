#include "present/cell_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/memory_platform.h"

namespace brovane {
namespace {

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
    EXPECT_EQ(Cell(18, 1), "A");
    EXPECT_EQ(Cell(19, 1), "");  // a zero byte gives no text
    EXPECT_EQ(Cell(20, 1), "\r");
    EXPECT_EQ(Cell(21, 1), "\x7F");
    EXPECT_EQ(Cell(22, 1), "\xE5");
    EXPECT_EQ(Cell(33, 1), "");
    for (int column : {-1, 34, 100}) {
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
    EXPECT_EQ(Cell(8, 32), "61");
    EXPECT_EQ(Cell(9, 32), "");
    EXPECT_EQ(Cell(25, 32), "a");
    EXPECT_EQ(Cell(26, 32), "");
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
    EXPECT_EQ(Cell(0, 0), "00000000");
    EXPECT_EQ(Cell(1, 0), "FFF8");
    EXPECT_EQ(Cell(0, 32), "00000010");
    EXPECT_EQ(Cell(1, 32), "1234");
    EXPECT_EQ(Cell(16, 32), "FFF8");
    EXPECT_EQ(Cell(2, 32), "0000");
    EXPECT_EQ(Cell(17, 32), "");
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
    bytes[0] = 0xF0;
    bytes[1] = 0xFF;
    bytes[2] = 0xFF;
    bytes[3] = 0x03;  // entry 2 = 0x003, entry 3 = 0x004
    bytes[4] = 0x40;
    bytes[5] = 0x00;
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

}  // namespace
}  // namespace brovane

// Sector and cluster dumps, their paging, byte editing and Write Changes on a
// built volume in both access modes, where the cluster_paging and
// write_changes acceptance tests and the corpus do not look. Failures are
// the fault matrix's.
#include <gtest/gtest.h>

#include "app/selection_dispatch.h"
#include "screen/byte_boxes.h"
#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteBoxes, ParseLikeTheDialog) {
    const std::pair<std::string, std::uint8_t> cases[] = {
        {"7", 0x07},  {"ab", 0xAB}, {"", 0x4A},   {"g1", 0x4A}, {"1g", 0x01},
        {"-1", 0xFF}, {"+F", 0x0F}, {" 3", 0x03}, {"-", 0x4A},  {"Ff", 0xFF}};
    for (const auto& [text, expected] : cases) {
        std::uint8_t byte = 0x4A;
        ParseByteBox(text, byte);
        EXPECT_EQ(byte, expected) << "'" << text << "'";
    }
    EXPECT_EQ(ByteBoxText(0x0A), "0A");
}

// SCATTER.BIN over clusters 5, 9, 6 (starting with "a", "c" and "b") and
// ONE.BIN in cluster 12 of a FAT16 volume at 2048 of four sectors a cluster,
// its data area from relative sector 73.
constexpr char kDumpDisk[] = R"(
disk size=16M
partition type=0x06 start=2048 size=20000
fat16
file /SCATTER.BIN pattern="abc" length=6144 clusters=5,9,6
file /ONE.BIN data="one" clusters=12
)";

class DumpTest : public ::testing::TestWithParam<bool>, public WalkHarness {
  protected:
    void SetUp() override {
        PlaceDescription(kDumpDisk);
        before = Image();
        Start(GetParam());
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#1/Root Directory\n");
    }
    Bytes Image() { return PeekBytes(*platform.FindDisk(0x80), 0, 16 << 20); }
    // The disk is as before but for the sixteen bytes at offset.
    void ExpectSixteenAt(std::uint64_t offset) {
        Bytes expected = before;
        for (std::uint8_t byte = 0xA1; byte <= 0xB0; ++byte) {
            expected[offset++] = byte;
        }
        EXPECT_TRUE(Image() == expected) << "sixteen bytes expected at " << offset - 16 << " alone";
    }
    std::string Shown() {
        return std::to_string(session.pane.currentBuffer.data()[0]) + " " +
               screen.StatusText(kPositionPane) + (session.pane.canGoPrevious ? " <" : " -") +
               (session.pane.canGoNext ? ">" : "-");
    }
    void Write() {
        Batch(
            "edit 0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0\nanswer yes\ncommand write\n");
    }

    Bytes before;
};

TEST_P(DumpTest, ClustersPageBothWaysAndOneUnitIsHeld) {
    Batch("key Ctrl+F4\nselect Hard Disk 1/#1/Root Directory/#1\ncommand next\ncommand next\n");
    EXPECT_EQ(Shown(), "98 Current Cluster Number: 0x00000006, Current Sector Number: 89 <-");
    const unsigned reads = platform.counters.reads + platform.counters.libraryReads;
    Batch("command next\n");  // disabled: nothing is read
    EXPECT_EQ(platform.counters.reads + platform.counters.libraryReads, reads);
    Batch("command previous\n");
    EXPECT_EQ(Shown(), "99 Current Cluster Number: 0x00000009, Current Sector Number: 101 <>");
    EXPECT_EQ(session.pane.currentBuffer.size(), 2048u);  // the FAT is given up
    EXPECT_EQ(platform.LiveBlocks(), 4u);
    // A one-cluster file and a one-sector item leave both commands disabled.
    Batch("select Hard Disk 1/#1/Root Directory/#2\n");
    EXPECT_EQ(Shown(), "111 Current Cluster Number: 0x0000000C, Current Sector Number: 113 --");
    Batch("select Hard Disk 1\n");
    EXPECT_EQ(Shown(), "0 Current Sector Number: 0 --");
}

TEST_P(DumpTest, RawDumpOfAFatPagesToTheEndOfItsVolumeAndNoFurther) {
    Batch("key F4\nkey Ctrl+F4\nselect Hard Disk 1/#1/FAT 1\n");  // raw wins
    EXPECT_EQ(session.pane.currentItem.sectorCount, 19999u);
    session.pane.currentIndex = 19997;
    Batch("command next\n");
    EXPECT_EQ(session.pane.viewMode, VM_RAW_SECTOR_DUMP);
    EXPECT_EQ(Shown().substr(1), " Current Sector Number: 19999 <-");
    // An unknown partition pages up to the last 32-bit sector address; beyond
    // the device, and beyond 32 bits, nothing is read.
    TreeItemInfo unknown = Record("Hard Disk 1");
    unknown.kind = IK_UNKNOWN;
    unknown.relativeSector = 1;
    DispatchSelection(session.Io(), session.pane, &unknown);
    EXPECT_EQ(session.pane.currentItem.sectorCount, 4294967295u);
    printed.clear();
    for (std::uint32_t index : {32768u + 5, 0xFFFFFFFDu}) {
        session.pane.currentIndex = index;
        Batch("command next\n");
        EXPECT_FALSE(session.pane.unitRead);
    }
    EXPECT_EQ(printed, Messages({"Sector not accessible!", "Sector not accessible!"}));
}

// An item whose first sector is its volume's sector 0 is written by its own
// address only at position 0; the raw mark set after a cluster was shown
// leaves the cluster dump as it is.
TEST_P(DumpTest, WriteChangesWritesTheUnitShown) {
    TreeItemInfo volumeStart = Record("Hard Disk 1/#1/FAT 1");
    volumeStart.relativeSector = 0;
    volumeStart.sectorCount = 10;
    Batch("key Ctrl+F4\n");
    DispatchSelection(session.Io(), session.pane, &volumeStart);
    Batch("command next\n");
    Write();
    ExpectSixteenAt((2048 + 1) * 512);
    EXPECT_EQ(printed.back(), "message: Changes written successfully!");

    before = Image();
    Batch("select Hard Disk 1/#1/Root Directory/#1\n");
    screen.SetMenuChecked(CMD_RAW_DUMPING, true);  // without showing the item again
    Write();
    EXPECT_EQ(session.pane.viewMode, VM_CLUSTER_DUMP);
    ExpectSixteenAt((2048 + 85) * 512);
}

TEST_P(DumpTest, EditingNeedsADumpingModeAndAFocusedRow) {
    Batch("key Ctrl+F4\nselect Hard Disk 1\nedit 3 cancel\n");
    screen.SetListItemState(3, false, false);
    session.OnListDoubleClick();  // no row has the focus: no dialog
    Batch("key Ctrl+F4\nedit 3 A1 = = = = = = = = = = = = = = =\n");
    EXPECT_EQ(printed,
              (std::vector<std::string>{
                  "dialog: Enter Bytes to Change -> Cancel",
                  "message: Editing is possible only in Sector/Cluster dumping modes\\x0A"
                  "Select 'Action->Sector/Cluster Dumping or Raw Sector Dumping' from main "
                  "menu"}));
    EXPECT_EQ(Batch("rightclick list 0\n"),
              "&Copy\n&Paste\n&Safe Paste\n&Delete\nS&afe Delete\nD&oomed Delete\n");
}

// Sector 101 of the volume (2149 of the disk: SCATTER.BIN's cluster 9), by
// its number in both forms:
// the raw dump of exactly that sector, paged on from there and written back
// alone; numbers that name no sector change nothing.
TEST_P(DumpTest, GoToASectorShowsItRawAndWritesExactlyIt) {
    const std::uint64_t at = 2149 * 512;
    const Bytes sector(before.begin() + at, before.begin() + at + 512);
    auto shown = [this] {
        return Bytes(session.pane.currentBuffer.data(), session.pane.currentBuffer.data() + 512);
    };
    Batch("select Hard Disk 1\ngoto 2149\n");
    EXPECT_EQ(sector[0], 'c');
    EXPECT_TRUE(shown() == sector);
    Batch("select Hard Disk 1/#1\ngoto 0x65\ncommand previous\ncommand next\n");
    EXPECT_TRUE(shown() == sector);
    EXPECT_TRUE(screen.IsMenuChecked(CMD_RAW_DUMPING));
    const std::string position = Shown();
    printed.clear();
    Batch("goto 20000\ngoto -1\ngoto 0x\ngoto 12abc\n");
    EXPECT_EQ(printed, (std::vector<std::string>{
                           "dialog: Go to a Sector -> OK", "message: Sector not accessible!",
                           "dialog: Go to a Sector -> OK", "message: Not a sector number: -1",
                           "dialog: Go to a Sector -> OK", "message: Not a sector number: 0x",
                           "dialog: Go to a Sector -> OK", "message: Not a sector number: 12abc"}));
    EXPECT_EQ(Shown(), position);
    Write();
    ExpectSixteenAt(at);
}

// Copy of rows 1-3 of SCATTER.BIN's first cluster, "abc" repeated, with a
// line break and a zero byte put in; then Copy's lines and plain groups
// pasted into FAT 1's first sector from row 2, written back alone; then what
// does not fit, and texts that are no bytes.
TEST_P(DumpTest, CopyAndPasteGoThroughTheClipboard) {
    Batch("key Ctrl+F4\nselect Hard Disk 1/#1/Root Directory/#1\n");
    session.pane.currentBuffer.data()[16] = '\n';
    session.pane.currentBuffer.data()[17] = 0;
    Batch("rightclick list 1-3\nchoose &Copy\n");
    EXPECT_EQ(Batch("clipboard\n"),
              "00000010  0A 00 61 62 63 61 62 63 61 62 63 61 62 63 61 62  ..abcabcabcabcab\n"
              "00000020  63 61 62 63 61 62 63 61 62 63 61 62 63 61 62 63  cabcabcabcabcabc\n"
              "00000030  61 62 63 61 62 63 61 62 63 61 62 63 61 62 63 61  abcabcabcabcabca\n");

    const std::uint64_t at = (2048 + Record("Hard Disk 1/#1/FAT 1").relativeSector) * 512;
    Batch("select Hard Disk 1/#1/FAT 1\n");
    ASSERT_EQ(session.pane.viewMode, VM_SECTOR_DUMP);
    ASSERT_EQ(session.pane.currentBuffer.data()[0], before[at]);
    screen.SetClipboardText(
        "00000000  A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0  0123456789ABCDEF\r\n"
        "\tb1 B2b3\n  b4 \n");
    Batch("rightclick list 2\nchoose Paste\nanswer yes\ncommand write\n");
    Bytes expected = before;
    const Bytes pasted = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA,
                          0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4};
    std::copy(pasted.begin(), pasted.end(), expected.begin() + at + 32);
    EXPECT_TRUE(Image() == expected) << "twenty bytes expected at " << at + 32 << " alone";
    EXPECT_EQ(screen.CellText(3, 4), "B4");

    printed.clear();
    const Bytes shown(session.pane.currentBuffer.data(), session.pane.currentBuffer.data() + 512);
    Batch("clipboard-set 55 AA\nrightclick list 31-30\nchoose &Safe Paste\n");  // no action
    for (const char* text : {"55 AZ 00", "55A", "\\x0A\\x09 "}) {
        Batch("rightclick list 30\nclipboard-set " + std::string(text) + "\nchoose &Paste\n");
    }
    EXPECT_TRUE(Bytes(session.pane.currentBuffer.data(), session.pane.currentBuffer.data() + 512) ==
                shown);
    Batch("rightclick list 31\nclipboard-set " + std::string(40, 'e') + "\nchoose &Paste\n");
    EXPECT_EQ(session.pane.currentBuffer.data()[495], shown[495]);
    EXPECT_EQ(session.pane.currentBuffer.data()[496], 0xEE);
    EXPECT_EQ(session.pane.currentBuffer.data()[511], 0xEE);
    EXPECT_EQ(printed,
              Messages({"Not hexadecimal bytes on the clipboard: AZ",
                        "An odd number of hexadecimal digits on the clipboard: 55A",
                        "The clipboard holds no bytes to paste",
                        "Pasted 16 bytes, as many as fit after the focused row; 4 were left out"}));
    Batch("choose &Paste\n", 2);  // the menu closed when an entry was chosen
    EXPECT_EQ(errors, "brovane-batch: line 1: no pop-up entry '&Paste'\n");
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, DumpTest, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Library" : "DevicePaths"; });

}  // namespace
}  // namespace brovane

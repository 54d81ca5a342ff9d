// Searching raw sectors, in both access modes: every place of a pattern in
// order, across sector and run boundaries and in the last sector, none in or
// across an unreadable sector; Find and Find Next showing the hits; the
// range of an item inside a volume; patterns that cannot be searched for.
#include <gtest/gtest.h>

#include <cctype>

#include "imaging/search_pattern.h"
#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every place a naive scan finds, over data where the pattern's first byte
// is rare, everywhere (zeros, runs of the pattern's own prefix) and of
// either case, with patterns of one to five bytes.
TEST(PatternMatcher, FindsEveryPlaceANaiveScanFinds) {
    std::uint32_t seed = 7;
    auto random = [&seed] { return static_cast<std::uint8_t>((seed = seed * 69069u + 1) >> 24); };
    std::vector<Bytes> texts = {Bytes(5000), Bytes(5000, 'a'), Bytes(5000), Bytes(5000, 'a')};
    for (std::size_t i = 0; i < 5000; ++i) {
        texts[0][i] = i % 97 == 0 ? 'A' : random();
        texts[1][i] = i % 13 == 12 ? 'B' : (i % 7 == 0 ? 'A' : 'a');
    }
    for (std::size_t i : {0u, 1234u, 4998u}) {
        texts[2][i] = 'a';
        texts[2][i + 1] = 1;
    }
    texts[2][3000] = 1;
    for (std::size_t i = 18; i < 5000; i += 19) {
        texts[3][i] = 'B';  // a match just past where memchr gives way
    }
    const Bytes patterns[] = {{'a'},    {'a', 'B'}, {'a', 'a', 'B'},
                              {'a', 1}, {0, 1},     {'A', 'a', 'a', 'a', 'B'}};
    for (const Bytes& pattern : patterns) {
        for (bool matchCase : {true, false}) {
            const SearchPattern searched{pattern, matchCase};
            const PatternMatcher matcher(searched);
            auto fold = [matchCase](std::uint8_t c) {
                return matchCase ? c : static_cast<std::uint8_t>(std::tolower(c));
            };
            for (const Bytes& text : texts) {
                std::vector<std::size_t> expected;
                std::vector<std::size_t> found;
                for (std::size_t at = 0; at + searched.bytes.size() <= text.size(); ++at) {
                    if (std::equal(searched.bytes.begin(), searched.bytes.end(), text.begin() + at,
                                   [&](auto a, auto b) { return fold(a) == fold(b); })) {
                        expected.push_back(at);
                    }
                }
                for (std::size_t at = matcher.Find(text, 0); at != PatternMatcher::npos;
                     at = matcher.Find(text, at + 1)) {
                    found.push_back(at);
                }
                EXPECT_EQ(found, expected)
                    << pattern.size() << " bytes" << (matchCase ? "" : ", any case");
            }
        }
    }
}

// NEEDLE at sector 5 byte 10, across sectors 100/101 and across the first
// 1 MiB run (2047/2048), in an unreadable sector (3000), across into one
// (4000/4001), in any case at 6000 and in the last sector; "\xE9t\xE9\xF7" at
// 7000. HIT.TXT holds it in the volume's first data cluster, just past the
// root directory.
constexpr char kSearchDisk[] = R"(
disk size=16M
partition type=0x06 start=8192 size=20000
fat16 sectors_per_cluster=4
file /HIT.TXT data="NEEDLE"
poke hex=4E4545444C45 offset=2570
poke hex=4E4545444C45 offset=51708
poke hex=4E4545444C45 offset=1048573
poke hex=4E4545444C45 offset=1536100
poke hex=4E4545444C45 offset=2048509
poke hex=4E6545644C65 offset=3072000
poke hex=4E4545444C45 offset=16777210
poke hex=E974E9F7 offset=3584000
)";

class SearchTest : public ::testing::TestWithParam<bool>, public WalkHarness {
  protected:
    void SetUp() override {
        PlaceDescription(kSearchDisk);
        platform.FindDisk(0x80)->faults.read.badSectors = {1, 3000, 4001, 8193, 28191, 32765};
        Start(GetParam());
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\n");
        printed.clear();
    }
    Bytes Sector(std::uint64_t n) { return PeekBytes(*platform.FindDisk(0x80), n * 512, 512); }
    Bytes Shown() {
        return Bytes(session.pane.currentBuffer.data(), session.pane.currentBuffer.data() + 512);
    }
    int SelectedRow() {
        for (int row = 0; row < screen.GetListItemCount(); ++row) {
            if (screen.IsListItemSelected(row) && screen.IsListItemFocused(row)) {
                return row;
            }
        }
        return -1;
    }
};

TEST_P(SearchTest, ListsEveryPlaceInOrderAndSkipsUnreadableSectors) {
    const std::string hits =
        "found: 5 10\nfound: 100 508\nfound: 2047 509\nfound: 8265 0\nfound: 32767 506\n";
    const std::string whole = hits + "searched: 32768 sectors, 6 unreadable\n";
    EXPECT_EQ(Batch("search Hard Disk 1 text:NEEDLE\n"), whole);
    EXPECT_EQ(Batch("search Hard Disk 1 hex:4E 45 45444C45\n"), whole);
    EXPECT_EQ(Batch("search Hard Disk 1 itext:nEEDle\n"),
              "found: 5 10\nfound: 100 508\nfound: 2047 509\nfound: 6000 0\nfound: 8265 0\n"
              "found: 32767 506\nsearched: 32768 sectors, 6 unreadable\n");
    // Latin-1 letters fold; the division sign is not the multiplication sign.
    EXPECT_EQ(
        Batch("search Hard Disk 1 itext:\xC9T\xC9\xF7\nsearch Hard Disk 1 itext:\xC9T\xC9\xD7\n"),
        "found: 7000 0\nsearched: 32768 sectors, 6 unreadable\n"
        "searched: 32768 sectors, 6 unreadable\n");
    // A volume from its first sector to its end; a root directory its own sectors.
    // Unreadable at the first sector of FAT 1 and at the last of the volume.
    EXPECT_EQ(Batch("search Hard Disk 1/#1 text:NEEDLE\n"),
              "found: 8265 0\nsearched: 20000 sectors, 2 unreadable\n");
    EXPECT_EQ(Batch("search Hard Disk 1/#1/FAT 1 hex:F8FF\n"),
              "searched: 20 sectors, 1 unreadable\n");
    EXPECT_EQ(Batch("search Hard Disk 1/#1/Root Directory text:NEEDLE\n"),
              "searched: 32 sectors, 0 unreadable\n");
    EXPECT_TRUE(printed.empty());
}

TEST_P(SearchTest, FindShowsEachHitAsARawSectorWithItsRowSelected) {
    Batch("select Hard Disk 1\nfind text:NEEDLE\n");
    EXPECT_TRUE(screen.IsMenuChecked(CMD_RAW_DUMPING));
    EXPECT_TRUE(Shown() == Sector(5));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(screen.StatusText(kProgressPane), "Found at 5, byte 10");
    EXPECT_EQ(screen.StatusText(kPositionPane), "Current Sector Number: 5");
    Batch("key F3\n");
    EXPECT_TRUE(Shown() == Sector(100));
    EXPECT_EQ(SelectedRow(), 31);
    EXPECT_EQ(screen.StatusText(kProgressPane), "Found at 100, byte 508");
    // Paged on, Find Next starts from the sector on screen.
    Batch("command next\ncommand next\ncommand find-next\n");
    EXPECT_EQ(screen.StatusText(kProgressPane), "Found at 2047, byte 509");
    Batch("command previous\nfind text:NOTHERE\n");
    EXPECT_EQ(printed.back(), "message: Not found: 30722 sectors searched, 5 unreadable.");
    EXPECT_EQ(screen.StatusText(kPositionPane), "Current Sector Number: 2046");
    // The tree's Raw Search searches the item clicked: a FAT its own sectors.
    Batch("rightclick tree Hard Disk 1/#1/FAT 2\n");
    screen.SetNextSearch(SearchRequest{"00", true, true});
    session.OnCommand(CMD_RAW_SEARCH);
    const TreeItemInfo& fat = Record("Hard Disk 1/#1/FAT 2");
    EXPECT_EQ(screen.StatusText(kPositionPane),
              "Current Sector Number: " + std::to_string(fat.relativeSector));
    EXPECT_EQ(screen.StatusText(kProgressPane),
              "Found at " + std::to_string(8192 + fat.relativeSector) + ", byte 6");
}

TEST_P(SearchTest, PatternsThatCannotBeSearchedForChangeNothing) {
    Batch("select Hard Disk 1\ngoto 7\n");
    printed.clear();
    Batch("find hex:5\nfind hex:55 A\nfind hex:GG\nfind text:\nfind text:" + std::string(513, 'x') +
          "\n");
    EXPECT_EQ(printed,
              (std::vector<std::string>{
                  "dialog: Find -> OK", "message: A hexadecimal byte needs two digits: 5",
                  "dialog: Find -> OK", "message: A hexadecimal byte needs two digits: 55 A",
                  "dialog: Find -> OK", "message: Not hexadecimal bytes: GG", "dialog: Find -> OK",
                  "message: There is nothing to search for.", "dialog: Find -> OK",
                  "message: A pattern may hold at most 512 bytes."}));
    EXPECT_EQ(screen.StatusText(kPositionPane), "Current Sector Number: 7");
    EXPECT_EQ(Batch("search Hard Disk 1 hex:0\n"), "");
    EXPECT_EQ(Batch("search Hard Disk 1 nothing\n", 2), "");
    EXPECT_NE(errors.find("search needs an item PATH and a pattern"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, SearchTest, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Library" : "DevicePaths"; });

}  // namespace
}  // namespace brovane

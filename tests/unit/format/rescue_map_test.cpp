#include "format/rescue_map.h"

#include <gtest/gtest.h>

namespace brovane {
namespace {

using Blocks = std::vector<RescueBlock>;
constexpr BlockStatus kDone = BlockStatus::kFinished;
constexpr BlockStatus kBad = BlockStatus::kBad;
constexpr BlockStatus kUntried = BlockStatus::kNotTried;

// A map as ddrescue writes one mid-run, with numbers in every base it reads.
TEST(RescueMapTest, ReadsWhatDdrescueWritesAndWritesWhatItReads) {
    std::string error;
    const std::optional<RescueMap> map = ParseRescueMap(
        "# Mapfile. Created by GNU ddrescue version 1.27\n"
        "# current_pos  current_status  current_pass\n"
        "0x00120000     *               2\n"
        "#      pos        size  status\n"
        "0x00000000  0x00100000  +\n"
        "\n"
        "1048576 512 -\r\n"
        "04001000\t0x1FE00 /\n"
        "0x00120000  0x7FFFFFFFFFEDFFFF  ?",
        error);
    ASSERT_TRUE(map) << error;
    EXPECT_EQ(std::tuple(map->currentPos, map->currentStatus, map->currentPass),
              std::tuple(0x120000u, '*', 2u));
    const Blocks expected = {{0, 0x100000, kDone},
                             {0x100000, 512, kBad},
                             {0x100200, 0x1FE00, BlockStatus::kNotScraped},
                             {0x120000, 0x7FFFFFFFFFEDFFFF, kUntried}};
    EXPECT_EQ(map->blocks, expected);
    const std::string text = FormatRescueMap(*map, {"Mapfile. Created by Brovane"});
    EXPECT_EQ(text.substr(0, text.find('\n', 30)),
              "# Mapfile. Created by Brovane\n# current_pos  current_status  current_pass");
    const std::optional<RescueMap> again = ParseRescueMap(text, error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->blocks, expected);
    EXPECT_EQ(again->currentPass, 2u);
    // An older map has no pass.
    EXPECT_EQ(ParseRescueMap("0 +\n0 512 +\n", error)->currentPass, 1u);
}

TEST(RescueMapTest, AnythingMalformedMakesTheMapInvalidAndNamesTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no status line"},
        {"# only comments\n", "no status line"},
        {"0 X 1\n", "line 1: not a status line (position, status, pass)"},
        {"0 + 1 extra\n", "line 1: not a status line (position, status, pass)"},
        {"0 + 1\n0 512\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n0 512 F\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n0 0x 512 +\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n08 512 +\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n0x1G 512 +\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n0x8000000000000000 512 +\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n-512 512 +\n", "line 2: not a block line (position, size, status)"},
        {"0 + 1\n0 0 +\n", "line 2: a block of size 0 or past the largest position"},
        {"0 + 1\n0x7FFFFFFFFFFFFE00 0x200 +\n",
         "line 2: a block of size 0 or past the largest position"},
        {"0 + 1\n0 1024 +\n# gap\n512 512 -\n", "line 4: a block that overlaps the one before it"},
        {"0 + 1\n1024 512 +\n0 512 -\n", "line 3: a block that overlaps the one before it"},
    };
    for (const auto& [text, reason] : cases) {
        std::string error;
        EXPECT_FALSE(ParseRescueMap(text, error)) << text;
        EXPECT_EQ(error, reason) << text;
    }
}

// Marks split the blocks they cut and join neighbours of one status; what
// no block covers is not tried.
TEST(RescueMapTest, MarkingKeepsTheBlocksInOrderAndAsFewAsTheyCanBe) {
    Blocks blocks;
    MarkRange(blocks, 0, 4096, kUntried);
    MarkRange(blocks, 0, 1024, kDone);
    MarkRange(blocks, 1024, 1024, kDone);  // joins the block before it
    MarkRange(blocks, 1536, 512, kBad);    // cuts it
    MarkRange(blocks, 8192, 512, kBad);    // beyond the end, with a gap
    EXPECT_EQ(
        blocks,
        (Blocks{{0, 1536, kDone}, {1536, 512, kBad}, {2048, 2048, kUntried}, {8192, 512, kBad}}));
    MarkRange(blocks, 1000, 8000, kDone);  // over several blocks and the gap
    EXPECT_EQ(blocks, (Blocks{{0, 9000, kDone}}));
    MarkRange(blocks, 100, 0, kBad);
    EXPECT_EQ(blocks, (Blocks{{0, 9000, kDone}}));
    for (auto [pos, status] : {std::pair{0ull, kDone}, {8999ull, kDone}, {9000ull, kUntried}}) {
        EXPECT_EQ(StatusAt(blocks, pos), status) << pos;
    }
    EXPECT_EQ(StatusAt({{512, 512, kBad}}, 511), kUntried);
}

}  // namespace
}  // namespace brovane

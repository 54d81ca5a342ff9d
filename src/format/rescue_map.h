// GNU ddrescue's mapfile: which byte ranges of a copy are finished, bad or
// not tried yet. The text is comment lines ("#..."), then the status line
// "current_pos current_status [current_pass]", then one line a block,
// "pos size status", in order of position. Numbers are read as ddrescue
// reads them (0x hexadecimal, a leading 0 octal, else decimal) and written
// in hexadecimal as ddrescue writes them.
//
// Read from a file that may be damaged or come from elsewhere, so nothing
// is taken on trust: a line that is not of that form, a number that does
// not fit 63 bits, a block of size 0, blocks that overlap or go backwards,
// or a block that ends past 2^63 make the whole map invalid, with a reason.
// Blocks need not start at 0 nor touch: what no block covers is not tried.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brovane {

enum class BlockStatus : char {
    kNotTried = '?',
    kNotTrimmed = '*',
    kNotScraped = '/',
    kBad = '-',
    kFinished = '+',
};

struct RescueBlock {
    std::uint64_t pos = 0;
    std::uint64_t size = 0;
    BlockStatus status = BlockStatus::kNotTried;

    std::uint64_t End() const { return pos + size; }
    friend bool operator==(const RescueBlock&, const RescueBlock&) = default;
};

struct RescueMap {
    std::uint64_t currentPos = 0;
    char currentStatus = '?';  // one of "?*/-FG+"
    unsigned currentPass = 1;
    std::vector<RescueBlock> blocks;
};

// The map the text holds, or nothing and the reason in `error` (naming the
// line, counted from 1).
std::optional<RescueMap> ParseRescueMap(std::string_view text, std::string& error);

// The map as ddrescue writes it: the comment lines given (each gets "# "),
// the status line and the blocks.
std::string FormatRescueMap(const RescueMap& map, const std::vector<std::string>& comments);

// Gives the bytes [pos, pos + size) the status, splitting the blocks it
// cuts and joining neighbours of one status, so the list stays in order
// and as short as it can be.
void MarkRange(std::vector<RescueBlock>& blocks, std::uint64_t pos, std::uint64_t size,
               BlockStatus status);

// The status of the byte at pos: not tried where no block covers it.
BlockStatus StatusAt(const std::vector<RescueBlock>& blocks, std::uint64_t pos);

}  // namespace brovane

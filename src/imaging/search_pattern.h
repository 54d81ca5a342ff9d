// The bytes a search looks for, and how they are matched: exactly by the C
// library's memchr and memmem, or without regard to Latin-1 case by a
// Horspool scan whose bytes pass through a fold table, in one pass without
// a copy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "screen/search_request.h"

namespace brovane {

// A pattern must lie within one sector's length, so that a hit is carried
// across at most one sector boundary.
inline constexpr std::size_t kMaxPatternBytes = 512;

struct SearchPattern {
    std::vector<std::uint8_t> bytes;
    bool matchCase = true;
};

// The request's bytes: hexadecimal digit pairs (blanks between bytes
// allowed) or the text's Latin-1 bytes. Nothing, with the reason in
// `error`, for an empty pattern, an odd digit or a character that is no
// digit, or more than kMaxPatternBytes bytes.
std::optional<SearchPattern> PatternOf(const SearchRequest& request, std::string& error);

class PatternMatcher {
  public:
    explicit PatternMatcher(const SearchPattern& pattern);

    std::size_t Size() const { return pattern_.size(); }
    // The first place at or after `from` where the whole pattern lies in
    // data, or npos.
    std::size_t Find(std::span<const std::uint8_t> data, std::size_t from) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  private:
    bool MatchesAt(const std::uint8_t* place) const;
    std::size_t FindExactly(std::span<const std::uint8_t> data, std::size_t from) const;

    bool matchCase_;
    std::array<std::uint8_t, 256> fold_{};
    std::vector<std::uint8_t> pattern_;  // folded
    std::array<std::size_t, 256> skip_{};
};

}  // namespace brovane

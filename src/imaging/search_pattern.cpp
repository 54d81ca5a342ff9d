#include "imaging/search_pattern.h"

#include <cstring>

#include "screen/hex_groups.h"

namespace brovane {

namespace {

constexpr std::size_t kFreeFalseStarts = 16;

// Latin-1 letters fold to lower case: A-Z, and 0xC0-0xDE but for the
// multiplication sign 0xD7.
std::uint8_t LowerLatin1(std::uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<std::uint8_t>(c + 0x20);
    }
    return c;
}

}  // namespace

std::optional<SearchPattern> PatternOf(const SearchRequest& request, std::string& error) {
    SearchPattern pattern;
    pattern.matchCase = request.hexadecimal || request.matchCase;
    if (request.hexadecimal) {
        HexGroups hex = ParseHexGroups(request.text);
        if (hex.fault != HexGroupsFault::kNone) {
            error = hex.fault == HexGroupsFault::kOddDigits
                        ? "A hexadecimal byte needs two digits: " + request.text
                        : "Not hexadecimal bytes: " + request.text;
            return std::nullopt;
        }
        pattern.bytes = std::move(hex.bytes);
    } else {
        pattern.bytes.assign(request.text.begin(), request.text.end());
    }
    if (pattern.bytes.empty()) {
        error = "There is nothing to search for.";
        return std::nullopt;
    }
    if (pattern.bytes.size() > kMaxPatternBytes) {
        error = "A pattern may hold at most " + std::to_string(kMaxPatternBytes) + " bytes.";
        return std::nullopt;
    }
    return pattern;
}

PatternMatcher::PatternMatcher(const SearchPattern& pattern) : matchCase_(pattern.matchCase) {
    for (std::size_t c = 0; c < fold_.size(); ++c) {
        const auto byte = static_cast<std::uint8_t>(c);
        fold_[c] = pattern.matchCase ? byte : LowerLatin1(byte);
    }
    for (std::uint8_t byte : pattern.bytes) {
        pattern_.push_back(fold_[byte]);
    }
    // Horspool: how far the window may move when its last byte is c.
    skip_.fill(pattern_.size());
    for (std::size_t i = 0; i + 1 < pattern_.size(); ++i) {
        skip_[pattern_[i]] = pattern_.size() - 1 - i;
    }
    for (std::size_t c = 0; c < skip_.size(); ++c) {
        skip_[c] = skip_[fold_[c]];
    }
}

bool PatternMatcher::MatchesAt(const std::uint8_t* place) const {
    for (std::size_t i = 0; i + 1 < pattern_.size(); ++i) {
        if (fold_[place[i]] != pattern_[i]) {
            return false;
        }
    }
    return true;
}

// Jumps from one place of the first byte to the next with memchr, which
// is fastest while that byte is rare; where it turns out common (more
// than one false start in 64 bytes), the C library's memmem takes over.
std::size_t PatternMatcher::FindExactly(std::span<const std::uint8_t> data,
                                        std::size_t from) const {
    const std::uint8_t* bytes = data.data();
    const std::size_t lastStart = data.size() - pattern_.size();
    std::size_t falseStarts = 0;
    for (std::size_t pos = from; pos <= lastStart; ++pos) {
        const void* first = std::memchr(bytes + pos, pattern_[0], lastStart - pos + 1);
        if (first == nullptr) {
            return npos;
        }
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(first) - bytes);
        if (std::memcmp(bytes + pos + 1, pattern_.data() + 1, pattern_.size() - 1) == 0) {
            return pos;
        }
        if (++falseStarts > kFreeFalseStarts + (pos - from) / 64) {
            const void* place =
                memmem(bytes + pos + 1, data.size() - pos - 1, pattern_.data(), pattern_.size());
            return place == nullptr
                       ? npos
                       : static_cast<std::size_t>(static_cast<const std::uint8_t*>(place) - bytes);
        }
    }
    return npos;
}

std::size_t PatternMatcher::Find(std::span<const std::uint8_t> data, std::size_t from) const {
    const std::size_t size = pattern_.size();
    if (size == 0 || data.size() < size || from > data.size() - size) {
        return npos;
    }
    if (matchCase_) {
        return FindExactly(data, from);
    }
    const std::size_t last = size - 1;
    const std::uint8_t lastByte = pattern_[last];
    for (std::size_t pos = from; pos <= data.size() - size;) {
        const std::uint8_t byte = data[pos + last];
        if (fold_[byte] == lastByte && MatchesAt(data.data() + pos)) {
            return pos;
        }
        pos += skip_[byte];
    }
    return npos;
}

}  // namespace brovane

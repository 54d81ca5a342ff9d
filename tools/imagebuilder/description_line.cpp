#include "imagebuilder/description_line.h"

#include <cctype>
#include <charconv>

#include "imagebuilder/dos_date_time.h"
#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

bool ReadEscape(std::string_view text, std::size_t& at, std::string& out) {
    const char c = text[at];
    static constexpr std::string_view kFrom = "\"\\ntr0";
    static constexpr std::string_view kTo{"\"\\\n\t\r\0", 6};
    const std::size_t simple = kFrom.find(c);
    if (simple != std::string_view::npos) {
        out.push_back(kTo[simple]);
        at += 1;
        return true;
    }
    if (c != 'x' || at + 2 >= text.size() || HexDigit(text[at + 1]) < 0 ||
        HexDigit(text[at + 2]) < 0) {
        return false;
    }
    out.push_back(static_cast<char>(HexDigit(text[at + 1]) * 16 + HexDigit(text[at + 2])));
    at += 3;
    return true;
}

struct Token {
    std::string key;  // set for key=value
    std::string text;
    bool option = false;
};

// Reads one token from `at`: bare characters and quoted runs up to a blank.
// An '=' outside quotes, after a bare key, makes the token an option.
bool ReadToken(std::string_view text, std::size_t& at, Token& token) {
    bool inQuote = false;
    bool quoted = false;
    while (at < text.size() && (inQuote || !std::isspace(static_cast<unsigned char>(text[at])))) {
        const char c = text[at++];
        if (c == '"') {
            inQuote = !inQuote;
            quoted = true;
        } else if (inQuote && c == '\\') {
            if (at >= text.size() || !ReadEscape(text, at, token.text)) {
                return false;
            }
        } else if (c == '=' && !inQuote && !quoted && !token.option && !token.text.empty()) {
            token.option = true;
            token.key.swap(token.text);
        } else {
            token.text.push_back(c);
        }
    }
    return !inQuote;
}

bool SplitNumber(std::string_view text, std::uint64_t& value, std::uint64_t& multiplier) {
    multiplier = 1;
    static constexpr std::string_view kSuffixes = "KMG";
    const std::size_t suffix = text.empty() ? std::string_view::npos : kSuffixes.find(text.back());
    if (suffix != std::string_view::npos) {
        multiplier = std::uint64_t{1} << (10 * (suffix + 1));
        text.remove_suffix(1);
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const auto result = std::from_chars(first, text.data() + text.size(), value, hex ? 16 : 10);
    return !text.empty() && result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

// Reads "A<sep>B<sep>C" of decimal numbers.
bool SplitTriple(const std::string& text, char separator, unsigned (&parts)[3]) {
    std::size_t at = 0;
    for (unsigned& part : parts) {
        const std::size_t end = text.find(separator, at);
        const std::string_view piece = std::string_view(text).substr(
            at, end == std::string::npos ? std::string::npos : end - at);
        const auto result = std::from_chars(piece.data(), piece.data() + piece.size(), part);
        if (piece.empty() || result.ec != std::errc{} ||
            result.ptr != piece.data() + piece.size()) {
            return false;
        }
        at = end == std::string::npos ? text.size() + 1 : end + 1;
    }
    return at == text.size() + 1;
}

}  // namespace

bool DescriptionLine::Split(std::string_view text, std::string& error) {
    *this = {};
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        if (at >= text.size() || (text[at] == '#' && command_.empty())) {
            return true;
        }
        Token token;
        if (!ReadToken(text, at, token)) {
            error = "unterminated quote or bad escape";
            return false;
        }
        if (command_.empty()) {
            command_ = token.text;
        } else if (token.option) {
            options_[token.key] = token.text;
        } else {
            words_.push_back(token.text);
        }
    }
}

bool DescriptionLine::Flag(const std::string& word) {
    for (std::size_t i = 0; i < words_.size(); ++i) {
        if (words_[i] == word) {
            wordUsed_.resize(words_.size(), false);
            wordUsed_[i] = true;
            return true;
        }
    }
    return false;
}

std::string DescriptionLine::Word() {
    wordUsed_.resize(words_.size(), false);
    for (std::size_t i = 0; i < words_.size(); ++i) {
        if (!wordUsed_[i]) {
            wordUsed_[i] = true;
            return words_[i];
        }
    }
    return {};
}

const std::string& DescriptionLine::Value(const std::string& key) {
    used_.insert(key);
    return options_.at(key);
}

bool DescriptionLine::Fail(const std::string& key, const std::string& what) {
    error_ = key + "=" + options_[key] + ": " + what;
    return false;
}

bool DescriptionLine::Text(const std::string& key, std::string& out) {
    if (Has(key)) {
        out = Value(key);
    }
    return true;
}

bool DescriptionLine::ParseNumber(const std::string& key, std::uint64_t& out, bool suffix,
                                  std::uint64_t max) {
    std::uint64_t multiplier = 1;
    if (!SplitNumber(Value(key), out, multiplier) || (multiplier != 1 && !suffix)) {
        return Fail(key, "not a number");
    }
    if (out > max / multiplier) {
        return Fail(key, "too large (at most " + std::to_string(max) + ")");
    }
    out *= multiplier;
    return true;
}

bool DescriptionLine::ByteSize(const std::string& key, std::uint64_t& out) {
    return !Has(key) || ParseNumber(key, out, true, std::numeric_limits<std::uint64_t>::max());
}

bool DescriptionLine::ClusterList(const std::string& key, std::vector<std::uint32_t>& out) {
    if (!Has(key)) {
        return true;
    }
    const std::string& text = Value(key);
    out.clear();
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t end = text.find(',', at);
        end = end == std::string::npos ? text.size() : end;
        const std::string piece = text.substr(at, end - at);
        const std::size_t dash = piece.find('-', 1);
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        std::uint64_t unit = 0;
        const bool ok =
            SplitNumber(piece.substr(0, dash), first, unit) && unit == 1 &&
            (dash == std::string::npos ? (last = first, true)
                                       : SplitNumber(piece.substr(dash + 1), last, unit)) &&
            unit == 1 && first <= last && last <= 0xFFFFFFFF;
        if (!ok) {
            return Fail(key, "not a cluster list such as 5,9,6 or 10-14");
        }
        for (std::uint64_t c = first; c <= last; ++c) {
            out.push_back(static_cast<std::uint32_t>(c));
        }
        at = end + 1;
    }
    return true;
}

bool DescriptionLine::HexBytes(const std::string& key, std::vector<std::uint8_t>& out) {
    if (!Has(key)) {
        return true;
    }
    const std::string& text = Value(key);
    out.clear();
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            break;
        }
        out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return out.size() * 2 == text.size() || Fail(key, "not an even number of hexadecimal digits");
}

bool DescriptionLine::Chs(const std::string& key, std::optional<ChsBytes>& out) {
    unsigned parts[3] = {};
    if (!Has(key)) {
        return true;
    }
    if (!SplitTriple(Value(key), '/', parts) || parts[0] > 255 || parts[1] > 255 ||
        parts[2] > 255) {
        return Fail(key, "not three bytes head/sector/cylinder");
    }
    out = ChsBytes{static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
                   static_cast<std::uint8_t>(parts[2])};
    return true;
}

bool DescriptionLine::Date(const std::string& key, std::uint16_t& out) {
    unsigned parts[3] = {};
    if (!Has(key)) {
        return true;
    }
    if (!SplitTriple(Value(key), '-', parts) || parts[0] < 1980 || parts[0] > 2107 ||
        parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31) {
        return Fail(key, "not a date YYYY-MM-DD from 1980 to 2107");
    }
    out = DosDate(parts[0], parts[1], parts[2]);
    return true;
}

bool DescriptionLine::Time(const std::string& key, std::uint16_t& out) {
    unsigned parts[3] = {};
    if (!Has(key)) {
        return true;
    }
    if (!SplitTriple(Value(key), ':', parts) || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) {
        return Fail(key, "not a time HH:MM:SS");
    }
    out = DosTime(parts[0], parts[1], parts[2]);
    return true;
}

bool DescriptionLine::CheckAllUsed(std::string& error) const {
    for (const auto& [key, value] : options_) {
        if (used_.count(key) == 0) {
            error = "unknown option " + key + " for " + command_;
            return false;
        }
    }
    for (std::size_t i = 0; i < words_.size(); ++i) {
        if (i >= wordUsed_.size() || !wordUsed_[i]) {
            error = "unexpected word '" + words_[i] + "' for " + command_;
            return false;
        }
    }
    return true;
}

}  // namespace brovane::imagebuilder

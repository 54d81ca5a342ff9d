#include "imagebuilder/short_name.h"

#include <algorithm>
#include <cctype>

namespace brovane::imagebuilder {

namespace {

bool IsShortNameChar(unsigned char c) {
    static constexpr std::string_view kPunctuation = "!#$%&'()-@^_`{}~";
    return std::isupper(c) || std::isdigit(c) || c >= 0x80 ||
           kPunctuation.find(static_cast<char>(c)) != std::string_view::npos;
}

bool CopyPart(std::string_view part, ShortName& name, std::size_t at, std::size_t width,
              std::string& error) {
    if (part.size() > width) {
        error =
            "short name part '" + std::string(part) + "' is longer than " + std::to_string(width);
        return false;
    }
    for (std::size_t i = 0; i < part.size(); ++i) {
        const auto c =
            static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(part[i])));
        if (!IsShortNameChar(c)) {
            error = "character '" + std::string(1, part[i]) + "' is not allowed in a short name";
            return false;
        }
        name[at + i] = c;
    }
    return true;
}

}  // namespace

bool ParseShortName(std::string_view text, ShortName& name, std::string& error) {
    name.fill(' ');
    if (text == "." || text == "..") {
        std::copy(text.begin(), text.end(), name.begin());
        return true;
    }
    const std::size_t dot = text.find('.');
    const std::string_view base = text.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    if (base.empty() || (dot != std::string_view::npos && extension.empty())) {
        error = "'" + std::string(text) + "' is not a short 8.3 name";
        return false;
    }
    return CopyPart(base, name, 0, 8, error) && CopyPart(extension, name, 8, 3, error);
}

ShortName LabelName(std::string_view label) {
    ShortName name;
    name.fill(' ');
    std::copy_n(label.begin(), std::min<std::size_t>(label.size(), name.size()), name.begin());
    return name;
}

std::uint8_t ShortNameChecksum(const ShortName& name) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : name) {
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + byte);
    }
    return sum;
}

}  // namespace brovane::imagebuilder

#include "imaging/copy_out_names.h"

#include <array>
#include <cctype>

#include "format/long_name.h"

namespace brovane {

namespace {

std::string Trimmed(const std::uint8_t* bytes, std::size_t size, bool lower) {
    std::string text(reinterpret_cast<const char*>(bytes), size);
    text.erase(text.find_last_not_of(' ') + 1);
    if (lower) {
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return text;
}

// NAME.EXT, or NAME without an extension; 0x05 stands for a first 0xE5.
std::string ShortEntryName(const DirectoryEntry& entry) {
    std::array<std::uint8_t, 8> name = entry.name;
    if (name[0] == kDeletedMarkAlias) {
        name[0] = kDeletedMark;
    }
    std::string text = Trimmed(name.data(), name.size(), (entry.caseFlags & kLowerCaseName) != 0);
    const std::string extension = Trimmed(entry.extension.data(), entry.extension.size(),
                                          (entry.caseFlags & kLowerCaseExtension) != 0);
    return extension.empty() ? text : text + "." + extension;
}

void AppendUtf8(unsigned char c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Cuts the UTF-8 text to `bytes` bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t bytes) {
    std::size_t end = std::min(bytes, text.size());
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

// The name, or the name with its extension kept, within 255 bytes.
std::string WithinHostLimit(const std::string& name, const std::string& suffix = {}) {
    const std::size_t dot = name.rfind('.');
    const std::string extension =
        dot == std::string::npos || dot == 0 || name.size() - dot > 32 ? "" : name.substr(dot);
    const std::string stem = name.substr(0, name.size() - extension.size());
    if (stem.size() + suffix.size() + extension.size() <= kMaxHostNameBytes) {
        return stem + suffix + extension;
    }
    return CutUtf8(stem, kMaxHostNameBytes - suffix.size() - extension.size()) + suffix + extension;
}

}  // namespace

std::string EntryName(ByteSpan directoryData, std::size_t index, const DirectoryEntry& entry,
                      bool deleted) {
    std::array<char, kMaxLongNameBytes> text{};
    const std::uint16_t taken = deleted ? AssembleDeletedLongName(directoryData, index, text)
                                        : AssembleLongName(directoryData, index, text);
    if (taken > 0 && text[0] != '\0') {
        return std::string(text.data());
    }
    std::string name = ShortEntryName(entry);
    if (deleted && !name.empty()) {
        name[0] = '_';
    }
    return name;
}

std::string HostName(std::string_view name) {
    std::string host;
    for (char c : name) {
        AppendUtf8(c == '/' || c == '\0' ? '_' : static_cast<unsigned char>(c), host);
    }
    if (host.empty() || host == "." || host == "..") {
        host.insert(0, "_");
    }
    return WithinHostLimit(host);
}

std::string UniqueName(const std::string& name, std::set<std::string>& taken) {
    std::string candidate = name;
    for (unsigned n = 2; taken.contains(candidate); ++n) {
        candidate = WithinHostLimit(name, " (" + std::to_string(n) + ")");
    }
    taken.insert(candidate);
    return candidate;
}

}  // namespace brovane

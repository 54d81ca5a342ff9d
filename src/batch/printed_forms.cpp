#include "batch/printed_forms.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace brovane {

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

bool UnescapeText(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\') {
            out += text[at];
        } else if (text.substr(at + 1, 1) == "\\") {
            out += '\\';
            ++at;
        } else {
            unsigned byte = 0;
            std::string_view digits = text.substr(std::min(at + 2, text.size()), 2);
            auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), byte, 16);
            if (text.substr(at + 1, 1) != "x" || digits.size() != 2 || error != std::errc{} ||
                end != digits.data() + 2) {
                return false;
            }
            out += static_cast<char>(byte);
            at += 3;
        }
    }
    return true;
}

void PrintTreeItems(std::ostream& out, TextScreen& screen, TreeItemHandle parent, int depth) {
    for (TreeItemHandle item : screen.Children(parent)) {
        const char* mark = screen.IsExpanded(item) ? "- " : screen.HasButton(item) ? "+ " : ". ";
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << mark
            << EscapeText(screen.ItemText(item)) << '\n';
        if (screen.IsExpanded(item)) {
            PrintTreeItems(out, screen, item, depth + 1);
        }
    }
}

void PrintStatusPanes(std::ostream& out, const TextScreen& screen) {
    out << "0: " << EscapeText(screen.StatusText(0)) << '\n';
    out << "1: " << EscapeText(screen.StatusText(1)) << '\n';
}

void PrintMenuStates(std::ostream& out, const CommandState& state) {
    for (const CommandInfo& info : Commands()) {
        out << info.id << (IsCommandEnabled(info.id, state) ? " enabled" : " disabled")
            << (IsCommandChecked(info.id, state) ? " checked" : "") << '\n';
    }
}

void PrintListRows(std::ostream& out, TextScreen& screen, int first, int count) {
    out << "# ";
    for (std::size_t column = 0; column < screen.Columns().size(); ++column) {
        out << (column == 0 ? "" : "\t") << EscapeText(screen.Columns()[column].heading);
    }
    out << '\n';
    int last =
        std::min(screen.GetListItemCount(), first + std::min(count, screen.GetListItemCount()));
    for (int row = first; row < last; ++row) {
        for (int column = 0; column < screen.GetListColumnCount(); ++column) {
            out << (column == 0 ? "" : "\t") << EscapeText(screen.CellText(row, column));
        }
        out << '\n';
    }
}

void PrintPopupEntries(std::ostream& out, const TextScreen& screen) {
    for (const PopupEntry& entry : screen.LastPopup()) {
        out << EscapeText(entry.text) << '\n';
    }
}

}  // namespace brovane

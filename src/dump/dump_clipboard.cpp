#include "dump/dump_clipboard.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "dump/byte_edit.h"
#include "dump/dump_rows.h"
#include "screen/hex_groups.h"
#include "screen/messages.h"

namespace brovane {

namespace {

constexpr auto kBytesPerRow = static_cast<std::size_t>(kDumpBytesPerRow);
constexpr int kFirstCharacterColumn = kDumpGapColumn + 1;
// Copy's form: eight offset digits, two blanks, then "HH " sixteen times
// without the last blank.
constexpr std::size_t kOffsetDigits = 8;
constexpr std::size_t kFirstByteAt = kOffsetDigits + 2;
constexpr std::size_t kCopyFormBytesEnd = kFirstByteAt + kBytesPerRow * 3 - 1;

constexpr std::string_view kCopyOnlyDumpsText =
    "Copy takes the rows of a Sector, Cluster or Raw Sector dump";
constexpr std::string_view kNoRowsSelectedText = "No rows are selected to copy";
constexpr std::string_view kNothingToPasteText = "The clipboard holds no bytes to paste";

std::optional<std::uint8_t> HexByte(std::string_view digits) {
    std::uint8_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.size() != 2 || error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsHexRun(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// A control character would break the line; a zero byte's cell is empty.
char RowCharacter(std::string_view cell) {
    auto c = cell.empty() ? 0u : static_cast<unsigned char>(cell[0]);
    return c < 0x20 || (c >= 0x7F && c < 0xA0) ? '.' : static_cast<char>(c);
}

void AppendRow(const RightPaneState& pane, int row, std::string& text) {
    std::string cell;
    auto itemData = static_cast<std::uintptr_t>(row);
    DumpCellText(pane, 0, itemData, text);
    text += ' ';
    for (int column = 1; column < kDumpGapColumn; ++column) {
        text += ' ';
        DumpCellText(pane, column, itemData, text);
    }
    text += "  ";
    for (int column = kFirstCharacterColumn; column <= kDumpLastColumn; ++column) {
        cell.clear();
        DumpCellText(pane, column, itemData, cell);
        text += RowCharacter(cell);
    }
    text += '\n';
}

// The sixteen bytes of a line in Copy's form; nothing for any other line.
std::optional<std::vector<std::uint8_t>> CopyFormBytes(std::string_view line) {
    if (line.size() < kCopyFormBytesEnd || !IsHexRun(line.substr(0, kOffsetDigits)) ||
        line.substr(kOffsetDigits, 2) != "  " ||
        (line.size() > kCopyFormBytesEnd && line[kCopyFormBytesEnd] != ' ')) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = kFirstByteAt; at < kCopyFormBytesEnd; at += 3) {
        std::optional<std::uint8_t> byte = HexByte(line.substr(at, 2));
        if (!byte || (at + 2 < kCopyFormBytesEnd && line[at + 2] != ' ')) {
            return std::nullopt;
        }
        bytes.push_back(*byte);
    }
    return bytes;
}

bool AppendLine(std::string_view line, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (std::optional<std::vector<std::uint8_t>> row = CopyFormBytes(line)) {
        bytes.insert(bytes.end(), row->begin(), row->end());
        return true;
    }
    HexGroups hex = ParseHexGroups(line);
    if (hex.fault == HexGroupsFault::kNone) {
        bytes.insert(bytes.end(), hex.bytes.begin(), hex.bytes.end());
        return true;
    }
    error = (hex.fault == HexGroupsFault::kOddDigits
                 ? "An odd number of hexadecimal digits on the clipboard: "
                 : "Not hexadecimal bytes on the clipboard: ") +
            std::string(hex.group);
    return false;
}

std::string LeftOutText(std::size_t taken, std::size_t leftOut) {
    return "Pasted " + std::to_string(taken) + " bytes, as many as fit after the focused row; " +
           std::to_string(leftOut) + " were left out";
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ParseClipboardBytes(std::string_view text,
                                                             std::string& error) {
    std::vector<std::uint8_t> bytes;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        if (!AppendLine(text.substr(0, end), bytes, error)) {
            return std::nullopt;
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    if (bytes.empty()) {
        error = kNothingToPasteText;
        return std::nullopt;
    }
    return bytes;
}

void CopySelectedRows(ScreenOperations& screen, const RightPaneState& pane) {
    if (!IsDumpView(pane.viewMode)) {
        screen.Notify(kCopyOnlyDumpsText);
        return;
    }
    std::string text;
    const int rows = screen.GetListItemCount();
    for (int row = 0; row < rows; ++row) {
        if (screen.IsListItemSelected(row)) {
            AppendRow(pane, row, text);
        }
    }
    if (text.empty()) {
        screen.Notify(kNoRowsSelectedText);
        return;
    }
    screen.SetClipboardText(text);
}

void PasteAtFocusedRow(ScreenOperations& screen, RightPaneState& pane) {
    if (!IsDumpView(pane.viewMode)) {
        screen.Notify(kEditingNeedsDumpingModeText);
        return;
    }
    std::optional<int> row = FirstFocusedRow(screen);
    const std::size_t first = row ? static_cast<std::size_t>(*row) * kBytesPerRow : 0;
    if (!row || first >= pane.currentBuffer.size()) {
        return;
    }
    std::string error;
    std::optional<std::vector<std::uint8_t>> bytes =
        ParseClipboardBytes(screen.ClipboardText(), error);
    if (!bytes) {
        screen.Notify(error);
        return;
    }
    const std::size_t taken = std::min(bytes->size(), pane.currentBuffer.size() - first);
    std::copy_n(bytes->begin(), taken, pane.currentBuffer.data() + first);
    screen.RedrawListItems(*row, *row + static_cast<int>((taken - 1) / kBytesPerRow));
    if (taken < bytes->size()) {
        screen.Notify(LeftOutText(taken, bytes->size() - taken));
    }
}

}  // namespace brovane

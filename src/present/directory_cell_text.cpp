#include "present/directory_cell_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace brovane {

namespace {

enum DirectoryColumn : int {
    kShortNameColumn = 0,
    kLongNameColumn = 1,
    kClusterColumn = 2,
    kAttributesColumn = 3,
    kSizeColumn = 4,
    kModifiedColumn = 5,
    kCreatedColumn = 6,
    kAccessedColumn = 7,
};

constexpr std::array<std::string_view, 12> kMonthNames{
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
};
// A month field of 0 or 13 to 15 names no month.
constexpr std::string_view kNoMonthName = "???";

struct AttributeLetter {
    std::uint8_t bit;
    char letter;
};

// In the order the letters are shown.
constexpr std::array<AttributeLetter, 6> kAttributeLetters{{
    {kAttrReadOnly, 'R'},
    {kAttrHidden, 'H'},
    {kAttrSystem, 'S'},
    {kAttrArchive, 'A'},
    {kAttrVolumeLabel, 'V'},
    {kAttrDirectory, 'D'},
}};

// The fields of the on-disk date and time words.
struct DosDate {
    unsigned day;
    unsigned month;
    unsigned year;
};

struct DosTime {
    unsigned hours;
    unsigned minutes;
    unsigned seconds;
};

DosDate DecodeDate(unsigned date) {
    return {date & 0x1Fu, (date >> 5) & 0x0Fu, (date >> 9) + 1980u};
}

DosTime DecodeTime(unsigned time) {
    return {time >> 11, (time >> 5) & 0x3Fu, (time & 0x1Fu) * 2};
}

std::string_view MonthName(unsigned month) {
    return month >= 1 && month <= kMonthNames.size() ? kMonthNames[month - 1] : kNoMonthName;
}

// Appends what snprintf wrote into the buffer (which is always large enough).
template <std::size_t N>
void AppendWritten(std::string& text, const std::array<char, N>& buffer, int length) {
    if (length > 0) {
        text.append(buffer.data(), std::min(static_cast<std::size_t>(length), N - 1));
    }
}

// Text up to the first zero byte.
std::string_view UpToZero(std::string_view stored) {
    return stored.substr(0, std::min(stored.find('\0'), stored.size()));
}

void AppendAttributes(const DirectoryRow& row, std::string& text) {
    for (const AttributeLetter& attribute : kAttributeLetters) {
        if ((row.attributes & attribute.bit) != 0) {
            text += attribute.letter;
        }
    }
    const auto first = static_cast<std::uint8_t>(row.shortName[0]);
    if (first == kDeletedMark || first == kDeletedMarkAlias) {
        text += "-Deleted";
    }
}

void AppendDate(std::uint16_t date, std::string& text) {
    if (date == 0) {
        return;
    }
    const DosDate d = DecodeDate(date);
    std::array<char, 32> buffer;
    AppendWritten(text, buffer,
                  std::snprintf(buffer.data(), buffer.size(), "%u %s %u", d.day,
                                MonthName(d.month).data(), d.year));
}

// Only the date word decides whether the cell is empty.
void AppendDateTime(std::uint16_t date, std::uint16_t time, std::string& text) {
    if (date == 0) {
        return;
    }
    const DosDate d = DecodeDate(date);
    const DosTime t = DecodeTime(time);
    std::array<char, 48> buffer;
    AppendWritten(text, buffer,
                  std::snprintf(buffer.data(), buffer.size(), "%u %s %u %u:%02u:%02u", d.day,
                                MonthName(d.month).data(), d.year, t.hours, t.minutes, t.seconds));
}

}  // namespace

void AppendDirectoryCellText(const DirectoryRow& row, int column, std::string& text) {
    std::array<char, 16> number;
    switch (column) {
        case kShortNameColumn:
            text += UpToZero({row.shortName.data(), row.shortName.size()});
            break;
        case kLongNameColumn:
            text += row.longName;
            break;
        case kClusterColumn:
            AppendWritten(text, number,
                          std::snprintf(number.data(), number.size(), "%08X", row.startCluster));
            break;
        case kAttributesColumn:
            AppendAttributes(row, text);
            break;
        case kSizeColumn:
            AppendWritten(text, number,
                          std::snprintf(number.data(), number.size(), "%lu",
                                        static_cast<unsigned long>(row.fileSize)));
            break;
        case kModifiedColumn:
            AppendDateTime(row.modifiedDate, row.modifiedTime, text);
            break;
        case kCreatedColumn:
            AppendDate(row.createdDate, text);
            break;
        case kAccessedColumn:
            AppendDate(row.accessedDate, text);
            break;
        default:
            break;
    }
}

}  // namespace brovane

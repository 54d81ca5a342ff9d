#include <array>
#include <cstdio>
#include <string>

#include "format/boot_record.h"

#include "present/current_buffer_read.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"
#include "screen/messages.h"

namespace brovane {

namespace {

constexpr std::array kColumns{
    ColumnLayout{"Field", 200},
    ColumnLayout{"Value", 200},
};

constexpr std::array<std::string_view, 13> kFieldNames{
    "OEM Name",
    "Bytes Per Sector",
    "Sectors Per Cluster",
    "Reserved Sectors",
    "Number of FATs",
    "Number of Root Directory Entries",
    "Media Descriptor Byte",
    "Sectors Per FAT",
    "Sectors Per Track",
    "Number of Heads",
    "Number of Hidden Sectors",
    "Total Tracks",
    "Total Sectors",
};

// At most eight characters, ending early at a zero byte.
std::string OemName(const BootRecord& boot) {
    std::string name;
    for (char c : boot.oemName) {
        if (c == '\0') {
            break;
        }
        name += c;
    }
    return name;
}

std::string Hexadecimal(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Total sectors over heads × sectors per track: the number of cylinders,
// shown under the name the field has always had. 0 without a geometry.
std::uint32_t TotalTracks(const BootRecord& boot) {
    std::uint32_t perCylinder = std::uint32_t{boot.heads} * boot.sectorsPerTrack;
    return perCylinder == 0 ? 0 : TotalSectors(boot) / perCylinder;
}

std::array<std::string, 13> FieldValues(const BootRecord& boot) {
    return {
        OemName(boot),
        std::to_string(boot.bytesPerSector),
        std::to_string(boot.sectorsPerCluster),
        std::to_string(boot.reservedSectors),
        std::to_string(boot.numberOfFats),
        std::to_string(boot.rootEntries),
        Hexadecimal(boot.mediaDescriptor),
        std::to_string(SectorsPerFatAnyWidth(boot)),
        std::to_string(boot.sectorsPerTrack),
        std::to_string(boot.heads),
        std::to_string(boot.hiddenSectors),
        std::to_string(TotalTracks(boot)),
        std::to_string(TotalSectors(boot)),
    };
}

}  // namespace

void ShowBootRecord(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    ResetListPane(io.screen);
    InsertColumns(io.screen, kColumns);
    constexpr FloppyReopen kOpenFloppyAlways{true, true, true};
    if (!ReadIntoCurrentBuffer(io, pane, item, kOpenFloppyAlways,
                               {kBootRecordInaccessibleText, kBootRecordNotAccessibleText})) {
        return;
    }
    ScreenOperations& screen = io.screen;
    for (std::size_t row = 0; row < kFieldNames.size(); ++row) {
        screen.InsertListItem(static_cast<int>(row), kFieldNames[row]);
    }
    std::array<std::string, 13> values = FieldValues(ReadBootRecord(pane.currentBuffer.bytes()));
    for (std::size_t row = 0; row < values.size(); ++row) {
        screen.SetListItemText(static_cast<int>(row), 1, values[row]);
    }
}

}  // namespace brovane

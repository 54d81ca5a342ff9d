#include <array>
#include <string>

#include "format/partition_entry.h"

#include "present/current_buffer_read.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"
#include "screen/messages.h"

namespace brovane {

namespace {

constexpr std::array kColumns{
    ColumnLayout{"Partition", 100},
    ColumnLayout{"Field", 200},
    ColumnLayout{"Value", 200},
};

constexpr std::array<std::string_view, 10> kFieldNames{
    "Boot Indicator",    "Cylinder",         "Head",        "Sector",
    "System Indicator",  "Ending Cylinder",  "Ending Head", "Ending Sector",
    "Number of Sectors", "Relative Sectors",
};

constexpr int kRowsPerEntry = static_cast<int>(kFieldNames.size());
constexpr std::uint8_t kBootable = 0x80;

// The ten values of an entry, in the order of the field names.
std::array<std::string, 10> EntryValues(const PartitionEntry& entry) {
    return {
        entry.bootIndicator == kBootable ? "Bootable" : "Non-Bootable",
        std::to_string(entry.startCylinder),
        std::to_string(entry.startHead),
        std::to_string(entry.startSector),
        std::to_string(entry.systemIndicator),
        std::to_string(entry.endCylinder),
        std::to_string(entry.endHead),
        std::to_string(entry.endSector),
        std::to_string(entry.totalSectors),
        std::to_string(entry.relativeSectors),
    };
}

void InsertRows(ScreenOperations& screen) {
    for (int index = 0; index < kPartitionEntries; ++index) {
        for (int field = 0; field < kRowsPerEntry; ++field) {
            int row = index * kRowsPerEntry + field;
            screen.InsertListItem(row, field == 0 ? std::to_string(index + 1) : std::string{});
            screen.SetListItemText(row, 1, kFieldNames[static_cast<std::size_t>(field)]);
        }
    }
}

}  // namespace

void ShowPartitionTable(const PlatformDiskScreen& io, RightPaneState& pane,
                        const TreeItemInfo& item) {
    ResetListPane(io.screen);
    InsertColumns(io.screen, kColumns);
    if (!ReadIntoCurrentBuffer(
            io, pane, item, kReopenWhenNothingRead,
            {kPartitionTableInaccessibleText, kPartitionTableViewNotAccessibleText})) {
        return;
    }
    InsertRows(io.screen);
    for (int index = 0; index < kPartitionEntries; ++index) {
        std::array<std::string, 10> values =
            EntryValues(ReadPartitionEntry(pane.currentBuffer.bytes(), index));
        for (int field = 0; field < kRowsPerEntry; ++field) {
            io.screen.SetListItemText(index * kRowsPerEntry + field, 2,
                                      values[static_cast<std::size_t>(field)]);
        }
    }
}

}  // namespace brovane

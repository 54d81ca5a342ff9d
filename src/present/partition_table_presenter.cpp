#include <array>
#include <string>

#include "app/session.h"
#include "present/current_buffer_read.h"
#include "present/list_pane.h"
#include "present/table_presenters.h"
#include "format/partition_entry.h"

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

void ShowPartitionTable(Session& session, const TreeItemInfo& item) {
    ResetListPane(session);
    InsertColumns(session, kColumns);
    constexpr FloppyReopen kReopenWhenNothingRead{false, true, false};
    if (!ReadIntoCurrentBuffer(
            session, item, kReopenWhenNothingRead,
            {"Partition Table inaccessible!", "Partition Table not accessible!"})) {
        return;
    }
    InsertRows(session.screen);
    for (int index = 0; index < kPartitionEntries; ++index) {
        std::array<std::string, 10> values =
            EntryValues(ReadPartitionEntry({session.pane.currentBuffer, session.pane.currentBufferBytes}, index));
        for (int field = 0; field < kRowsPerEntry; ++field) {
            session.screen.SetListItemText(index * kRowsPerEntry + field, 2,
                                           values[static_cast<std::size_t>(field)]);
        }
    }
}

}  // namespace brovane

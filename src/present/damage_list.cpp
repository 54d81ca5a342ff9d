#include "present/damage_list.h"

#include <array>
#include <string>

#include "present/list_pane.h"

namespace brovane {

namespace {

constexpr std::array kColumns{
    ColumnLayout{"Name", 300},
    ColumnLayout{"Size", 100, ColumnAlign::Right},
    ColumnLayout{"Bytes Affected", 110, ColumnAlign::Right},
    ColumnLayout{"First Bad Sector", 120, ColumnAlign::Right},
};

void AddRow(ScreenOperations& screen, const std::array<std::string, 4>& cells) {
    const int row = screen.InsertListItem(screen.GetListItemCount(), cells[0]);
    for (int column = 1; column < static_cast<int>(cells.size()); ++column) {
        screen.SetListItemText(row, column, cells[column]);
    }
}

}  // namespace

void ShowDamageList(ScreenOperations& screen, RightPaneState& pane, const DamageReport& report) {
    ReleaseUnit(pane, VM_NONE);
    ResetListPane(screen);
    InsertColumns(screen, kColumns);
    for (const DamagedItem& item : report.items) {
        AddRow(screen, {"Root Directory/" + item.path, std::to_string(item.size),
                        std::to_string(item.bytesAffected), std::to_string(item.firstBadSector)});
    }
    for (const DamagedFatSector& fat : report.fatSectors) {
        AddRow(screen,
               {"FAT " + std::to_string(fat.copy), "512", "512", std::to_string(fat.sector)});
    }
    screen.SetStatusText(kProgressPane, "");
}

}  // namespace brovane

#include "present/cell_text.h"

#include <optional>

#include "present/directory_cell_text.h"
#include "present/dump_cell_text.h"
#include "present/fat_cell_text.h"
#include "present/fat_copies_list.h"

namespace brovane {

std::string_view CellText(const RightPaneState& pane, int column, std::uintptr_t itemData,
                          std::string& text) {
    text.clear();
    switch (pane.viewMode) {
        case VM_ROOT_DIR:
        case VM_SUBDIRECTORY:
            if (std::optional<DirectoryRow> row = FindDirectoryRow(pane.directoryRows, itemData)) {
                AppendDirectoryCellText(*row, column, text);
            }
            break;
        case VM_CLUSTER_DUMP:
        case VM_SECTOR_DUMP:
        case VM_RAW_SECTOR_DUMP:
            DumpCellText(pane, column, itemData, text);
            break;
        case VM_FAT16:
            Fat16CellText(pane, column, itemData, text);
            break;
        case VM_FAT32:
            Fat32CellText(pane, column, itemData, text);
            break;
        case VM_FAT12:
            Fat12CellText(pane, column, itemData, text);
            break;
        case VM_FAT_COPIES:
            FatCopiesCellText(pane, column, itemData, text);
            break;
        default:
            break;
    }
    return text;
}

}  // namespace brovane

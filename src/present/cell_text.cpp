#include "present/cell_text.h"

#include <optional>

#include "present/directory_cell_text.h"

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
        default:
            static_cast<void>(column);
            static_cast<void>(itemData);
            break;
    }
    return text;
}

}  // namespace brovane

#include "present/cell_text.h"

namespace brovane {

std::string_view CellText(const RightPaneState& pane, int column, std::uintptr_t itemData,
                          std::string& text) {
    text.clear();
    switch (pane.viewMode) {
        default:
            static_cast<void>(column);
            static_cast<void>(itemData);
            break;
    }
    return text;
}

}  // namespace brovane

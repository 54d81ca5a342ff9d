#include "app/goto_sector_command.h"

#include "dump/sector_goto.h"

namespace brovane {

void ChooseGoToSector(const PlatformDiskScreen& io, RightPaneState& pane,
                      const TreeItemInfo* item) {
    if (item == nullptr) {
        return;
    }
    const std::optional<std::string> text = io.screen.AskLine(
        kGoToSectorTitle, "Sector number from the item's first sector (0x for hexadecimal):");
    if (!text) {
        return;
    }
    if (const std::optional<std::uint64_t> n = ParseSectorNumber(*text)) {
        GoToSector(io, pane, *item, *n);
    } else {
        io.screen.Notify("Not a sector number: " + *text);
    }
}

}  // namespace brovane

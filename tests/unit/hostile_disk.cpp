#include "hostile_disk.h"

#include <algorithm>

namespace brovane {

namespace {

void WalkBelow(TextScreen& screen, TreeItemHandle parent, int depth, std::size_t maxItems,
               WalkFigures& figures) {
    std::vector<TreeItemHandle> children = screen.Children(parent);
    figures.mostChildren = std::max(figures.mostChildren, children.size());
    for (TreeItemHandle item : children) {
        if (++figures.items > maxItems) {
            return;
        }
        screen.SelectTreeItem(item);
        for (int row = 0; row < screen.GetListItemCount(); ++row) {
            for (int column = 0; column < screen.GetListColumnCount(); ++column) {
                screen.CellText(row, column);
            }
        }
        if (depth > 0 && screen.Expand(item)) {
            WalkBelow(screen, item, depth - 1, maxItems, figures);
        }
    }
}

}  // namespace

WalkFigures WalkEverything(TextScreen& screen, int maxDepth, std::size_t maxItems) {
    WalkFigures figures;
    WalkBelow(screen, kTreeRoot, maxDepth, maxItems, figures);
    return figures;
}

}  // namespace brovane

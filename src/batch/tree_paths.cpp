#include "batch/tree_paths.h"

#include <charconv>
#include <vector>

namespace brovane {

namespace {

// "#N" names the N-th child (from 1); answers 0 when the segment is not of that form.
std::size_t ChildNumber(std::string_view segment) {
    if (segment.size() < 2 || segment[0] != '#') {
        return 0;
    }
    std::size_t number = 0;
    auto [end, problem] =
        std::from_chars(segment.data() + 1, segment.data() + segment.size(), number);
    return problem == std::errc{} && end == segment.data() + segment.size() ? number : 0;
}

TreeItemHandle FindChild(TextScreen& screen, TreeItemHandle parent, std::string_view segment) {
    std::vector<TreeItemHandle> children = screen.Children(parent);
    if (std::size_t number = ChildNumber(segment); number != 0) {
        return number <= children.size() ? children[number - 1] : kNoTreeItem;
    }
    for (TreeItemHandle child : children) {
        if (screen.ItemText(child) == segment) {
            return child;
        }
    }
    return kNoTreeItem;
}

}  // namespace

TreeItemHandle FindItemByPath(TextScreen& screen, std::string_view path) {
    TreeItemHandle item = kTreeRoot;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        item = FindChild(screen, item, path.substr(0, slash));
        if (item == kNoTreeItem) {
            return kNoTreeItem;
        }
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
    }
    return item;
}

std::string PathOfItem(TextScreen& screen, TreeItemHandle item) {
    std::string path;
    for (; item != kNoTreeItem; item = screen.Parent(item)) {
        path = path.empty() ? screen.ItemText(item) : screen.ItemText(item) + "/" + path;
    }
    return path;
}

TreeItemHandle RequireItem(TextScreen& screen, std::string_view path, std::string& error) {
    TreeItemHandle item = path.empty() ? kNoTreeItem : FindItemByPath(screen, path);
    if (item == kNoTreeItem) {
        error = "no such item '" + std::string(path) + "'";
    }
    return item;
}

}  // namespace brovane

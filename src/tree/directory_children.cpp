#include "tree/directory_children.h"

#include "screen/messages.h"

#include <algorithm>
#include <string_view>

namespace brovane {

namespace {

bool PassesOver(const DirectoryEntry& entry, DirectoryHolder holder) {
    if (IsLongNameSlot(entry) || IsDeleted(entry)) {
        return true;
    }
    if (holder == DirectoryHolder::FixedRoot) {
        return (entry.attributes & kAttrVolumeLabel) != 0;
    }
    return IsDotEntry(entry);
}

// Stores the record with its name behind it and inserts its tree item.
bool AddChild(ChildInsertion& insertion, const TreeItemInfo& child, std::string_view name) {
    TreeItemInfo* record = AppendNamedItemRecord(insertion.items, name);
    if (record == nullptr) {
        insertion.io.screen.Notify(kPacketsMemoryText);
        return false;
    }
    const char* nameText = record->nameText;
    *record = child;
    record->nameText = nameText;
    bool hasChildren = (child.attributes & kAttrDirectory) != 0;
    insertion.lastChild = insertion.io.screen.InsertCallbackTreeItem(
        insertion.parent, insertion.lastChild, hasChildren, record);
    return true;
}

}  // namespace

TreeItemInfo DirectoryChildRecord(const TreeItemInfo& directory, const DirectoryEntry& entry) {
    // The volume's addressing and geometry stay; the rest is the entry's.
    TreeItemInfo child = directory;
    child.nameText = nullptr;
    child.kind = IK_DIR_ENTRY;
    child.sectorCount = 0;
    // Behind a fixed root directory, or where a chain directory's data
    // area already begins: the first data sector either way.
    child.relativeSector = directory.relativeSector + directory.sectorCount;
    child.attributes = entry.attributes;
    child.firstCluster = StartCluster(entry, directory.fatType);
    child.parentCluster = directory.firstCluster;
    return child;
}

std::string_view DirectoryChildName(ByteSpan data, std::size_t index, const DirectoryEntry& entry,
                                    ChildNameText& text) {
    // A first slot whose first character is 0 yields no character: no name.
    if (index > 0 && AssembleLongName(data, index, text) > 0 && text[0] != '\0') {
        return std::string_view(text.data());
    }
    const auto shortName = ShortName(entry);
    std::copy_n(shortName.begin(), kShortNameLength, text.begin());
    return std::string_view(text.data(), kShortNameLength);
}

bool ForEachListedEntry(ByteSpan data, DirectoryHolder holder, const ListedEntryVisit& visit) {
    ChildNameText text{};
    const std::size_t count = DirectoryEntryCount(data);
    for (std::size_t index = 0; index < count; ++index) {
        const DirectoryEntry entry = ReadDirectoryEntry(data, index);
        if (PassesOver(entry, holder)) {
            continue;
        }
        if (IsEndOfDirectory(entry)) {
            break;
        }
        if (!visit(index, entry, DirectoryChildName(data, index, entry, text))) {
            return false;
        }
    }
    return true;
}

bool AddDirectoryChildren(ChildInsertion& insertion, const TreeItemInfo& directory, ByteSpan data,
                          DirectoryHolder holder) {
    return ForEachListedEntry(
        data, holder, [&](std::size_t index, const DirectoryEntry& entry, std::string_view name) {
            TreeItemInfo child = DirectoryChildRecord(directory, entry);
            child.entryIndex = static_cast<std::uint32_t>(index);
            return AddChild(insertion, child, name);
        });
}

}  // namespace brovane

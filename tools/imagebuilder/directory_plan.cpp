#include "imagebuilder/directory_plan.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "imagebuilder/long_name.h"

namespace brovane::imagebuilder {

namespace {

std::string NormalPath(std::string_view path) {
    std::string out;
    for (const char c : path) {
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    while (out.size() > 1 && out.back() == '/') {
        out.pop_back();
    }
    return out.empty() || out.front() != '/' ? "/" + out : out;
}

// Splits "/A/B.TXT" into its directory "/A" and its name "B.TXT".
void SplitPath(const std::string& path, std::string& parent, std::string& leaf) {
    const std::size_t slash = path.rfind('/');
    parent = slash == 0 ? "/" : path.substr(0, slash);
    leaf = path.substr(slash + 1);
}

bool FindDirectory(const std::map<std::string, std::size_t>& known, const std::string& path,
                   std::size_t& directory, std::string& error) {
    const auto found = known.find(path);
    if (found == known.end()) {
        error = "directory " + path + " is not declared before its entries";
        return false;
    }
    directory = found->second;
    return true;
}

bool PlanNames(const EntryDescription& item, const std::string& leaf, VolumePlan& plan,
               std::string& error) {
    ShortName name{};
    if (item.kind == EntryKind::VolumeLabel) {
        name = LabelName(item.label);
    } else if (!ParseShortName(leaf, name, error)) {
        error = item.path + ": " + error;
        return false;
    }
    const auto longName = Utf8ToUtf16(item.longName);
    if (!longName || longName->size() > 255) {
        error = item.path + ": the long name is not UTF-8 of at most 255 UTF-16 units";
        return false;
    }
    plan.names.push_back(name);
    plan.longNames.push_back(*longName);
    return true;
}

bool PlanEntry(const EntryDescription& item, std::map<std::string, std::size_t>& known,
               VolumePlan& plan, std::string& error) {
    const std::size_t index = plan.names.size();
    const std::string path = NormalPath(item.path);
    std::string parentPath = path;
    std::string leaf;
    if (item.kind != EntryKind::VolumeLabel) {
        SplitPath(path, parentPath, leaf);
    }
    std::size_t parent = 0;
    if (!FindDirectory(known, parentPath, parent, error) || !PlanNames(item, leaf, plan, error)) {
        return false;
    }
    plan.directories[parent].children.push_back(index);
    plan.directoryOf.emplace_back();
    if (item.kind == EntryKind::Directory) {
        plan.directoryOf.back() = plan.directories.size();
        known[path] = plan.directories.size();
        plan.directories.push_back({index, parent, {}});
    }
    return true;
}

}  // namespace

bool PlanDirectories(const FatVolume& volume, VolumePlan& plan, std::string& error) {
    plan = {};
    plan.directories.push_back({});
    std::map<std::string, std::size_t> known{{"/", 0}};
    for (const EntryDescription& item : volume.entries) {
        if (!PlanEntry(item, known, plan, error)) {
            return false;
        }
    }
    return true;
}

std::size_t DirectoryEntryCount(const VolumePlan& plan, std::size_t directory) {
    std::size_t count = directory == 0 ? 0 : 2;
    for (const std::size_t child : plan.directories[directory].children) {
        count += 1 + (plan.longNames[child].size() + kSlotChars - 1) / kSlotChars;
    }
    return count;
}

}  // namespace brovane::imagebuilder

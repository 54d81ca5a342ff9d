// Which directory each entry of a volume belongs to, the names each entry
// stores, and how many 32-byte entries every directory needs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "imagebuilder/image_builder.h"
#include "imagebuilder/short_name.h"

namespace brovane::imagebuilder {

struct PlannedDirectory {
    std::optional<std::size_t> item;    // the entry that makes it; none for the root
    std::size_t parent = 0;             // directory index; the root is its own parent
    std::vector<std::size_t> children;  // entry indices, in directory order
};

struct VolumePlan {
    std::vector<PlannedDirectory> directories;            // [0] is the root directory
    std::vector<ShortName> names;                         // per entry, before any deleted mark
    std::vector<std::u16string> longNames;                // per entry
    std::vector<std::optional<std::size_t>> directoryOf;  // per entry: the directory it makes
};

bool PlanDirectories(const FatVolume& volume, VolumePlan& plan, std::string& error);

// Entries the directory's data holds: dot entries, long-name slots, short entries.
std::size_t DirectoryEntryCount(const VolumePlan& plan, std::size_t directory);

}  // namespace brovane::imagebuilder

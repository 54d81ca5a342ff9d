// The names copied-out entries get on the host: the long name, else the
// short name without its padding (its case bits applied); for a deleted
// entry the long name where its slots are intact, else the short name with
// '_' for the first character the deletion mark replaced. On the host a
// name is UTF-8 (the disk's 8-bit text read as Latin-1), never holds '/'
// or a NUL, is never "." or "..", has at most 255 bytes, and is unique in
// its folder.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

#include "format/directory_entry.h"
#include "format/little_endian.h"

namespace brovane {

inline constexpr std::size_t kMaxHostNameBytes = 255;

// The entry's name as the disk holds it (8-bit text).
std::string EntryName(ByteSpan directoryData, std::size_t index, const DirectoryEntry& entry,
                      bool deleted);

// The name as the host takes it: '/' and NUL become '_', "." and ".." and
// the empty name get a leading '_', and a name over 255 bytes is cut in
// front of its extension.
std::string HostName(std::string_view name);

// The name, else "NAME (2).EXT", "NAME (3).EXT", ... whichever is not yet
// taken in the folder; the answer is taken from then on.
std::string UniqueName(const std::string& name, std::set<std::string>& taken);

}  // namespace brovane

// The two demonstration images, kept as descriptions so that they read like
// the format's documentation and go through the same parser as any other.
#pragma once

#include <string_view>

namespace brovane::imagebuilder {

// 64 MiB: FAT16 and FAT32 primaries, an extended partition with a FAT12 and
// a FAT16 logical drive; long names, two directory levels, deleted and
// fragmented files, volume labels.
std::string_view DemoDiskDescription();

// A standard 1.44 MB FAT12 floppy with a few files, a long name and a
// sub-directory.
std::string_view DemoFloppyDescription();

}  // namespace brovane::imagebuilder

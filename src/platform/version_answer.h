// What the version test answers on this platform.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace brovane {

// A major version of 5; with the disk library the high bit is set as well.
inline std::uint32_t VersionAnswer(bool diskLibrary) {
    constexpr std::uint32_t kMajorVersion = 5;
    return diskLibrary ? kVersionDiskLibraryBit | kMajorVersion : kMajorVersion;
}

}  // namespace brovane

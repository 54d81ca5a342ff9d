// The drive-type test over root paths "X:\".
#pragma once

#include <cstddef>
#include <string_view>

namespace brovane {

// Removable exactly for the letters of the first floppyCount drives (A:\ on);
// every other path has no root directory.
unsigned DriveTypeOfRoot(std::string_view rootPath, std::size_t floppyCount);

}  // namespace brovane

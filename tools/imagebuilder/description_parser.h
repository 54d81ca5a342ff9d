// The line-based image description (documented in tools/README.md) turned
// into a Disk.
#pragma once

#include <string>
#include <string_view>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

// False with "line N: message" when a line cannot be taken.
bool ParseDescription(std::string_view text, Disk& disk, std::string& error);

}  // namespace brovane::imagebuilder

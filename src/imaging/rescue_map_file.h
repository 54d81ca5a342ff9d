// A mapfile on the host: read whole and checked, and written so that the
// file under its name is always a whole map, the old one or the new one
// (a temporary file beside it, flushed, then renamed over it).
#pragma once

#include <string>

#include "format/rescue_map.h"
#include "platform/platform.h"

namespace brovane {

enum class MapLoad { kLoaded, kMissing, kInvalid };

// kInvalid with the reason in `error` when the file cannot be read or is
// not a mapfile.
MapLoad LoadRescueMap(Platform& platform, const std::string& path, RescueMap& map,
                      std::string& error);

// False when any step fails; the file under `path` is then as it was.
bool SaveRescueMap(Platform& platform, const std::string& path, const RescueMap& map);

}  // namespace brovane

#include "imaging/rescue_map_file.h"

#include <array>

namespace brovane {

namespace {

// A mapfile larger than this is not one we could have written, nor ddrescue.
constexpr std::uint64_t kMaxMapBytes = std::uint64_t{64} << 20;
constexpr std::uint32_t kReadPiece = 65536;

bool ReadWholeFile(Platform& platform, DeviceHandle file, std::string& text) {
    std::array<char, kReadPiece> piece{};
    for (std::uint64_t offset = 0; offset <= kMaxMapBytes; offset += kReadPiece) {
        const std::uint32_t got = platform.ReadHostFile(file, offset, piece.data(), kReadPiece);
        text.append(piece.data(), got);
        if (got < kReadPiece) {
            return true;
        }
    }
    return false;
}

bool WriteWholeFile(Platform& platform, const std::string& path, const std::string& text) {
    const DeviceHandle file = platform.CreateHostFile(path);
    if (file == kInvalidHandle) {
        return false;
    }
    const auto bytes = static_cast<std::uint32_t>(text.size());
    const bool written = text.size() <= kMaxMapBytes &&
                         platform.WriteHostFile(file, 0, text.data(), bytes) == bytes &&
                         platform.FlushHostFile(file);
    platform.CloseHostFile(file);
    return written;
}

}  // namespace

MapLoad LoadRescueMap(Platform& platform, const std::string& path, RescueMap& map,
                      std::string& error) {
    if (!platform.HostFileExists(path)) {
        return MapLoad::kMissing;
    }
    const DeviceHandle file = platform.OpenHostFile(path);
    if (file == kInvalidHandle) {
        error = "it cannot be opened";
        return MapLoad::kInvalid;
    }
    std::string text;
    const bool whole = ReadWholeFile(platform, file, text);
    platform.CloseHostFile(file);
    if (!whole) {
        error = "it is too large for a mapfile";
        return MapLoad::kInvalid;
    }
    std::optional<RescueMap> parsed = ParseRescueMap(text, error);
    if (!parsed) {
        return MapLoad::kInvalid;
    }
    map = std::move(*parsed);
    return MapLoad::kLoaded;
}

bool SaveRescueMap(Platform& platform, const std::string& path, const RescueMap& map) {
    const std::string temporary = path + ".tmp";
    const std::string text = FormatRescueMap(map, {"Mapfile. Created by Brovane"});
    if (WriteWholeFile(platform, temporary, text) && platform.ReplaceHostFile(temporary, path)) {
        return true;
    }
    platform.RemoveHostFile(temporary);
    return false;
}

}  // namespace brovane

// Disk Copy: an item copied to an image file with a ddrescue mapfile beside
// it, the structure first. For a FAT volume, or a disk with FAT volumes,
// the copy reads first the partition tables, boot records, both FATs, the
// root directories and every directory's clusters; then the clusters of
// the allocated files; then all the rest. A disk that dies half-way leaves
// an image whose tree and directories are complete.
//
// The image is written as IMAGE.part and renamed to IMAGE once every
// sector was tried, so a half copy never stands under the final name; the
// mapfile IMAGE.map says what the image holds all along, and a copy that
// stopped goes on from it (ours or ddrescue's), reading only what is not
// finished.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "disk/disk_access.h"
#include "imaging/copy_extent.h"
#include "platform/platform.h"
#include "screen/long_work.h"

namespace brovane {

// The mapfile and the file being written for an image.
std::string MapPathOf(const std::string& imagePath);
std::string PartPathOf(const std::string& imagePath);

struct CopyJob {
    CopyExtent extent;
    std::string imagePath;
    // Go on from the mapfile: into IMAGE.part where it lies, else into IMAGE.
    bool resume = false;
    // The longest time between two saves of the mapfile.
    std::chrono::milliseconds mapInterval = std::chrono::seconds(5);
};

enum class CopyOutcome {
    kCopied,            // every sector tried; the image under its name
    kCancelled,         // stopped by Cancel; it resumes
    kImageUncreatable,  // the image could not be created or opened: nothing was copied
    kImageUnwritable,   // the image could not be written, flushed or renamed
    kMapUnwritable,     // the mapfile could not be written
    kMapInvalid,        // resuming: the mapfile is damaged or not one (detail says why)
    kMapTooLong,        // resuming: the mapfile goes past the item's end
    kNoMemory,
};

struct CopyResult {
    CopyOutcome outcome = CopyOutcome::kCopied;
    std::uint64_t sectors = 0;  // of the item
    std::uint64_t bad = 0;      // marked bad in the map at the end
    std::string detail;
};

// Runs off the screen's thread: reads only through the platform and the
// disk access state, writes only host files.
CopyResult CopyToImage(Platform& platform, DiskAccess& disk, const CopyJob& job,
                       const ProgressReport& report, const CancelFlag& cancel);

}  // namespace brovane

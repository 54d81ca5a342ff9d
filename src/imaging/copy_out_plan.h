// What a Copy Out will write, worked out before anything is written: every
// file and folder with its host path, time, size and clusters, walked down
// from a directory's contents or from one entry of a directory. The walk
// ends whatever the volume holds: chains keep the FAT's bounds, and a
// directory met again (a loop, a directory holding its parent) is noted and
// not walked again.
//
// A deleted entry's chain is gone; its clusters are guessed as an
// established forensic toolkit does: from its start cluster on, the
// clusters the FAT marks free, allocated ones skipped, until its size is
// reached (a directory, which has no size, takes its start cluster alone,
// when free). Everything below a deleted directory is deleted too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disk/sector_run.h"
#include "imaging/structure_walk.h"
#include "platform/platform.h"
#include "volume/volume_layout.h"

namespace brovane {

// Where Copy Out starts: a directory (the root directory when no cluster
// is given; 0 on FAT12 and FAT16 is the root too), its contents, or its
// entry number entryIndex alone.
struct CopyOutStart {
    std::optional<std::uint32_t> directoryCluster;
    std::optional<std::size_t> entryIndex;
};

enum class PlannedKind { kFile, kFolder, kLoop };

struct PlannedItem {
    std::string path;  // from the destination, '/' between folders, UTF-8
    PlannedKind kind = PlannedKind::kFile;
    bool guessed = false;  // a deleted entry's clusters
    std::uint32_t size = 0;
    std::vector<std::uint32_t> clusters;  // a file's, in order, no more than its size needs
    std::optional<std::int64_t> time;     // the entry's modification time
};

struct CopyOutPlan {
    FoundVolume volume;              // at the source's sector 0
    std::vector<PlannedItem> items;  // each folder in front of what it holds
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;  // of the files' sizes
};

// The volume's layout is read from its boot record at the source's sector
// 0. Nothing, with the reason in error, when it holds no FAT volume, the
// FAT cannot be had or the start names no entry.
std::optional<CopyOutPlan> PlanCopyOut(Platform& platform, SectorSource& source,
                                       bool fat32Indicator, const CopyOutStart& start,
                                       std::string& error);

// The seconds since 1970 of a DOS date and time read as local time; nothing
// for a date of 0 or fields out of range.
std::optional<std::int64_t> DosTimeToSeconds(std::uint16_t date, std::uint16_t time);

}  // namespace brovane

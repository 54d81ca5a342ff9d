// Copy Out: writes what a plan holds into a folder of the host, reading
// each file's clusters in runs of up to 1 MiB. Nothing is written to the
// disk. Each file goes to a hidden temporary name; complete files are
// flushed to stable storage together, a batch at a time, and only then
// renamed to their own names and given their entries' times; folders take
// theirs after their contents. A sector that cannot be read is zeros
// in the file, which is kept and said to be incomplete; a file whose chain
// ends before its size is too. Cancel and a host that takes no more stop
// the copy: what was written stays, the file being written is removed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/copy_out_plan.h"
#include "imaging/disk_sector_source.h"
#include "platform/platform.h"
#include "screen/long_work.h"

namespace brovane {

enum class CopiedHow { kCopied, kGuessed, kIncomplete, kLoop };

struct CopiedItem {
    const PlannedItem& item;
    CopiedHow how;
    std::uint64_t bytes = 0;  // written
};

// Told of each file written and each folder met again, in order, on the
// thread the copy runs on.
using CopiedSink = std::function<void(const CopiedItem& copied)>;

enum class CopyOutStop { kNone, kCancelled, kUnwritable, kNoMemory };

struct CopyOutResult {
    CopyOutStop stop = CopyOutStop::kNone;
    std::string failedPath;  // kUnwritable: what could not be written
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;  // of the files kept
};

// The hidden name a file is written under until it is complete.
std::string PartPathOfCopy(const std::string& path);

CopyOutResult RunCopyOut(Platform& platform, DiskSectorSource& source, const CopyOutPlan& plan,
                         const std::string& destination, const CopiedSink& sink,
                         const ProgressReport& report, const CancelFlag& cancel);

}  // namespace brovane

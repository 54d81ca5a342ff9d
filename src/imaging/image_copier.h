// Copying an item's sectors into an image file: in runs of 1 MiB read
// without caching, one sector at a time only inside a run that failed (the
// disk layer's retry). A sector that cannot be read is marked bad and left
// as zeros in the image; the mapfile beside it records what is finished,
// bad or not tried, and is saved (image flushed first, so it never claims
// what the image does not hold) at least every 5 seconds.
//
// The copier is also the structure walk's source: what the walk reads is
// copied first, then read back from the image.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "disk/disk_access.h"
#include "disk/sector_run.h"
#include "format/rescue_map.h"
#include "imaging/map_sectors.h"
#include "imaging/rescue_map_file.h"
#include "imaging/structure_walk.h"
#include "platform/platform.h"
#include "platform/platform_block.h"
#include "screen/long_work.h"

namespace brovane {

// What is copied: count sectors from the run's origin (its relativeSector
// is the first).
struct CopySource {
    Platform& platform;
    DiskAccess& disk;
    SectorRun origin;
    std::uint64_t sectors = 0;
};

// Why a copy stopped before its end.
enum class CopyStop { kNone, kCancelled, kImageUnwritable, kMapUnwritable, kNoMemory };

// A run read in one transfer.
inline constexpr std::uint32_t kCopyRunSectors = 2048;

class ImageCopier : public SectorSource {
  public:
    ImageCopier(const CopySource& source, DeviceHandle image, RescueMap map, std::string mapPath,
                std::chrono::milliseconds mapInterval, const ProgressReport& report,
                const CancelFlag& cancel);

    // Copies the sectors of [first, first + count) that are not finished.
    void Copy(SectorSpan sectors);
    // Saves the map now; `finished` marks the copy done in its status line.
    bool SaveMap(bool finished);
    CopyStop Stop() const { return stop_; }
    std::uint64_t BadSectors() const;

    std::uint64_t Sectors() const override { return source_.sectors; }
    void Read(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) override;
    bool IsReadable(std::uint64_t sector) override;
    bool Stopped() override;

  private:
    // Reads and stores up to one run from `first`; answers how many sectors
    // it came to (all of them, or fewer where the disk library stopped).
    std::uint32_t CopyRun(std::uint64_t first, std::uint32_t count);
    bool StoreRun(std::uint64_t first, std::uint32_t count);
    void MarkRun(std::uint64_t first, std::uint32_t count);
    void SaveMapWhenDue();

    CopySource source_;
    DeviceHandle image_;
    RescueMap map_;
    std::string mapPath_;
    std::chrono::milliseconds mapInterval_;
    const ProgressReport& report_;
    const CancelFlag& cancel_;
    PlatformBlock buffer_;
    std::vector<std::uint8_t> unread_;
    std::vector<std::uint8_t> untried_;  // per sector of the run: never tried before
    // The sectors this copy has tried (as finished blocks): a bad one is
    // tried once a copy; a resumed copy tries it again.
    std::vector<RescueBlock> tried_;
    WorkProgress progress_;
    CopyStop stop_ = CopyStop::kNone;
    std::chrono::steady_clock::time_point lastSave_;
};

// The sectors of [0, sectors) not finished in the map.
std::uint64_t UnfinishedSectors(const std::vector<RescueBlock>& blocks, std::uint64_t sectors);

}  // namespace brovane

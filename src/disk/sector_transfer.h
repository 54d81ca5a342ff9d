// Moving runs of 512-byte sectors between a drive and memory: drive,
// origin, first sector relative to the origin and sector count. A run that fails as a whole is
// retried one sector at a time, and the call then answers false.
#pragma once

#include <cstdint>
#include <span>

#include "disk/disk_access.h"
#include "disk/platform_disk_screen.h"
#include "disk/sector_run.h"

namespace brovane {

// What a read leaves in place of a sector that could not be read.
inline constexpr std::uint8_t kUnreadableFill = 0xE5;

// True when the whole run moved in one pass. buffer holds sectorCount × 512 bytes.
bool ReadSectors(const PlatformDiskScreen& io, const SectorRun& run, std::uint8_t* buffer);
bool WriteSectors(const PlatformDiskScreen& io, const SectorRun& run, const std::uint8_t* buffer);

// Why ReadSectorsNotingUnread did not read a sector.
inline constexpr std::uint8_t kSectorFailed = 1;
inline constexpr std::uint8_t kSectorNotReached = 2;

// ReadSectors without the screen (it may run off the screen's thread), and
// with a flag per sector of the run in `unread` (sectorCount of them), set
// for each sector that was not read: kSectorFailed when it failed in the
// sector-by-sector retry (filled with 0xE5), kSectorNotReached when the disk
// library did not come to it behind a failed track piece (left as it was).
bool ReadSectorsNotingUnread(Platform& platform, DiskAccess& disk, const SectorRun& run,
                             std::uint8_t* buffer, std::span<std::uint8_t> unread);

// The address of the sector relativeSector sectors past the run's origin,
// in the run's geometry (heads and sectorsPerTrack nonzero). chs comes in
// holding the previous conversion: above cylinder 1000 its head is kept.
void ComputeChsAddress(const SectorRun& run, ChsAddress& chs);

}  // namespace brovane

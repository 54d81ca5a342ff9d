// The structure of a disk or a FAT volume, walked over its sectors as a
// source gives them: the master boot record and the extended tables, each
// FAT volume's boot record, FAT copies and root directory, then every
// directory by its cluster chain, down the tree. Both the copy to an image
// (which reads the structure first) and the damage report walk it.
//
// Whatever the disk holds, the walk ends: an extended chain ends where it
// comes back to a table it has read, a directory met again is not walked
// again, chains keep the FAT's bounds (format/fat_chain.h), and no buffer
// is larger than the volume layer allows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_block.h"
#include "volume/volume_layout.h"

namespace brovane {

// Sectors counted from the first sector of what is walked.
class SectorSource {
  public:
    virtual ~SectorSource() = default;
    virtual std::uint64_t Sectors() const = 0;
    // Fills count sectors from first; what cannot be had (past the end,
    // unreadable) reads as zeros.
    virtual void Read(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) = 0;
    // False for a sector that was not read well (bad, or not tried).
    virtual bool IsReadable(std::uint64_t sector) = 0;
    // True once the walk should stop (the copy was cancelled or failed).
    virtual bool Stopped() { return false; }
};

// FAT copies read for the structure; a third and further copies are data.
inline constexpr unsigned kFatCopiesRead = 2;

// A FAT volume found on the way: where it begins and its layout.
struct FoundVolume {
    std::uint64_t base = 0;
    VolumeLayout layout;
};

// A file or directory of a volume, as its directory lists it.
struct FoundEntry {
    std::string path;               // names from the root directory, joined by '/'
    std::uint64_t entrySector = 0;  // the sector that holds its entry, from the walk's start
    std::uint32_t fileSize = 0;
    bool directory = false;
    std::span<const std::uint32_t>
        clusters;  // in chain order; a file's no more than its size needs
};

class StructureVisitor {
  public:
    virtual ~StructureVisitor() = default;
    virtual void OnVolume(const FoundVolume& volume) = 0;
    virtual void OnEntry(const FoundVolume& volume, const FoundEntry& entry) = 0;
};

// From the master boot record at sector 0.
void WalkDiskStructure(Platform& platform, SectorSource& source, StructureVisitor& visitor);
// A volume whose boot record lies at base; fat32Indicator when its
// partition type says FAT32.
void WalkVolumeStructure(Platform& platform, SectorSource& source, std::uint64_t base,
                         bool fat32Indicator, StructureVisitor& visitor);

// The first FAT copy, where one of its sectors was not read well taken from
// the second, as the views use the second copy when the first fails. An
// empty handle when the volume has no FAT or its size is refused.
PlatformBlock ReadMergedFat(Platform& platform, SectorSource& source, const FoundVolume& volume);

// The first sector of a cluster, from the walk's start; nothing below
// cluster 2.
std::optional<std::uint64_t> ClusterStart(const FoundVolume& volume, std::uint32_t cluster);

}  // namespace brovane

// Test-image builder: plain descriptions of a disk (partition tables, FAT
// volumes, their directories and files, damage) and the functions that turn
// a description into an image, in memory or as a sparse file.
//
// Everything is given in sectors of 512 bytes. Start sectors are absolute on
// the disk; the builder writes them relative where the tables require it
// (logical partitions to their own table, links to the extended partition).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imagebuilder/dos_date_time.h"
#include "imagebuilder/sparse_image.h"

namespace brovane::imagebuilder {

inline constexpr std::uint32_t kSectorBytes = 512;

// The three CHS bytes of a partition entry as stored: head; sector in bits
// 0-5 with cylinder bits 8-9 in bits 6-7; cylinder bits 0-7.
struct ChsBytes {
    std::uint8_t head = 0;
    std::uint8_t sector = 0;
    std::uint8_t cylinder = 0;
};

struct PartitionEntry {
    std::uint8_t status = 0x00;  // 0x80 marks the active partition
    std::uint8_t type = 0x00;    // system indicator; 0 leaves the slot empty
    std::uint32_t start = 0;     // absolute first sector
    std::uint32_t size = 0;      // sectors
    // Computed from the sector numbers and the disk geometry when unset.
    std::optional<ChsBytes> chsStart;
    std::optional<ChsBytes> chsEnd;
};

// A logical partition: its own extended table holds the logical entry in
// slot 1 and, when another logical follows, the link to that one's table in
// slot 2.
struct LogicalPartition {
    PartitionEntry entry;
    // Absolute sector of its table; by default the extended partition's first
    // sector for the first logical, the end of the previous logical after that.
    std::optional<std::uint32_t> tableSector;
    // System indicator of the link entry that leads to this logical's table.
    std::uint8_t linkType = 0x05;
};

enum class FatKind { Fat12, Fat16, Fat32 };

enum class EntryKind { File, Directory, VolumeLabel };

// One short directory entry, with its long-name slots when longName is set.
struct EntryDescription {
    EntryKind kind = EntryKind::File;
    // Absolute path of short 8.3 names ("/DOCS/REPORT.TXT"); lower case is
    // taken as upper case. Its directory must be declared before it. A volume
    // label's path is its directory ("/" as a rule).
    std::string path;
    std::string label;     // VolumeLabel: up to 11 bytes, padded with spaces
    std::string longName;  // UTF-8; empty: no long-name slots
    std::string data;      // file contents, written cluster by cluster
    // The chain in order; empty: the lowest free clusters. Directories get as
    // many clusters as their entries need (at least one).
    std::vector<std::uint32_t> clusters;
    std::optional<std::uint8_t> attributes;             // default 0x20, 0x10 or 0x08 by kind
    bool deleted = false;                               // first byte 0xE5, chain left free
    bool longNameDeleted = true;                        // with deleted: slots marked 0xE5 too
    std::optional<std::uint32_t> sizeOverride;          // size field instead of data's size
    std::optional<std::uint32_t> firstClusterOverride;  // cluster fields instead of the chain's
    DosStamp stamp;
};

// Replaces the entry of one cluster after the chains are written (a loop, a
// value past the last cluster or past the FAT image, a free mark in a chain).
struct FatEntryOverride {
    std::uint32_t cluster = 0;
    std::uint32_t value = 0;
    std::optional<std::uint32_t> copy;  // FAT number from 1; unset: every copy
};

// Replaces a named boot record field after the volume is laid out, so the
// layout itself stays sound (see BootFieldNames() for the names).
struct BootFieldOverride {
    std::string field;
    std::uint32_t value = 0;
};

struct FatVolume {
    FatKind kind = FatKind::Fat16;
    std::uint64_t firstSector = 0;  // absolute
    std::uint32_t totalSectors = 0;
    std::string oemName = "BROVANE";
    std::uint8_t sectorsPerCluster = 4;
    std::uint16_t reservedSectors = 0;  // 0: 1 on FAT12/16, 32 on FAT32
    std::uint8_t fatCount = 2;
    std::uint16_t rootEntryCount = 512;  // FAT12/16 only
    std::uint8_t media = 0xF8;
    std::uint32_t sectorsPerFat = 0;  // 0: the fewest that describe every cluster
    std::uint16_t sectorsPerTrack = 63;
    std::uint16_t heads = 255;
    std::optional<std::uint32_t> hiddenSectors;  // default: firstSector
    std::uint8_t driveNumber = 0x80;
    std::uint32_t volumeId = 0x12345678;
    std::string bootLabel;  // empty: the volume label entry's text, else "NO NAME"
    // FAT32: the root directory's chain (empty: allocated first, from cluster 2).
    std::vector<std::uint32_t> rootClusters;
    std::uint16_t fsInfoSector = 1;
    std::uint16_t backupBootSector = 6;
    std::vector<EntryDescription> entries;  // in directory order
    std::vector<FatEntryOverride> fatOverrides;
    std::vector<BootFieldOverride> bootOverrides;
};

struct BytePoke {
    std::uint64_t offset = 0;  // absolute byte offset on the disk
    std::vector<std::uint8_t> bytes;
};

struct Disk {
    std::uint64_t sizeBytes = 0;
    std::uint16_t heads = 255;  // geometry for the CHS bytes of partition entries
    std::uint16_t sectorsPerTrack = 63;
    std::uint32_t diskSignature = 0;
    // The master boot record is written when any slot has a type (a floppy has none).
    std::array<PartitionEntry, 4> primaries{};
    // Chained inside the first primary of type 0x05, 0x0F or 0x85.
    std::vector<LogicalPartition> logicals;
    std::vector<FatVolume> volumes;
    std::vector<BytePoke> pokes;  // written last, over everything else
    // Cuts the finished image to this many bytes (a disk whose end was lost).
    std::optional<std::uint64_t> truncateBytes;
};

// Where a volume's areas lie, in sectors relative to the volume's first sector.
struct VolumeLayout {
    std::uint32_t reservedSectors = 0;
    std::uint32_t sectorsPerFat = 0;
    std::uint32_t rootDirSector = 0;   // FAT12/16 fixed root directory
    std::uint32_t rootDirSectors = 0;  // 0 on FAT32
    std::uint32_t firstDataSector = 0;
    std::uint32_t clusterCount = 0;  // data clusters, numbered from 2

    std::uint32_t ClusterSector(std::uint32_t cluster, std::uint8_t sectorsPerCluster) const {
        return firstDataSector + (cluster - 2) * sectorsPerCluster;
    }
};

// Shorthands for the common entries; set further fields on the result.
EntryDescription FileEntry(std::string path, std::string data, std::string longName = {});
EntryDescription DirectoryEntry(std::string path, std::string longName = {});
EntryDescription LabelEntry(std::string label);

bool ComputeLayout(const FatVolume& volume, VolumeLayout& layout, std::string& error);

// Builds the image in memory; false with a message when the description
// cannot be built (overlapping clusters, a full root directory, ...).
bool BuildImage(const Disk& disk, SparseImage& image, std::string& error);
bool WriteImageFile(const Disk& disk, const std::string& path, std::string& error);

}  // namespace brovane::imagebuilder

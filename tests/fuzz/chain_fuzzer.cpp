// libFuzzer target for cluster chains read from a disk. The input is a FAT
// volume from its boot record on, put on a hard disk from sector kBase; it
// splits into the boot record's geometry, the FAT image at its reserved
// sectors (read through the disk as a directory item reads it), a FAT type
// (the one the boot record gives, as the tree decides it) and first
// clusters (the boot record's root cluster, as stored, and the first
// clusters of a fresh volume). Each chain is walked under all three FAT
// widths and checked: ListChain fills exactly the ChainLength clusters,
// each once, each the entry of the one before, and the chain ends where
// the FAT ends it. Under the volume's own type each chain's clusters are
// then read with ReadClusterRun into a buffer between guard bytes: it must
// read exactly the clusters that lie on the disk, each cluster's sectors
// in order, and write nothing outside the buffer or past the cluster it
// failed on. A broken invariant aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "disk/sector_run.h"
#include "format/boot_record.h"
#include "format/fat_chain.h"
#include "format/fat_entry.h"
#include "format/little_endian.h"
#include "fuzz/fuzz_platform.h"
#include "fuzz/fuzz_session.h"
#include "platform/platform_block.h"
#include "tree/cluster_run.h"
#include "tree/fat_read.h"

namespace {

using brovane::ByteSpan;
using brovane::TreeItemInfo;
namespace fuzz = brovane::fuzz;
using fuzz::Require;

constexpr std::uint32_t kBase = 1;
constexpr std::uint16_t kHardDisk = 0x80;
constexpr std::uint32_t kFat12ClusterLimit = 4096;
constexpr std::uint32_t kDirectoryEntryBytes = 32;
// First clusters tried besides the root cluster: where a fresh volume's
// first files and directories start.
constexpr std::uint32_t kFirstClusters = 10;
// Sectors the cluster reads of one run may move in all.
constexpr std::uint64_t kReadBudget = 96;
constexpr std::size_t kGuardBytes = 64;
constexpr std::uint8_t kGuard = 0xA5;
constexpr std::uint16_t kFatTypes[] = {brovane::kFat12Code, brovane::kFat16Code,
                                       brovane::kFat32Code};

// The FAT type the tree gives the volume: FAT32 without a 16-bit FAT size,
// else FAT12 or FAT16 by the cluster estimate.
std::uint16_t FatTypeOf(const brovane::BootRecord& boot) {
    if (boot.sectorsPerFat16 == 0) {
        return brovane::FT_FAT32;
    }
    if (boot.sectorsPerCluster != 0 &&
        brovane::TotalSectors(boot) / boot.sectorsPerCluster < kFat12ClusterLimit) {
        return brovane::FT_FAT12;
    }
    return brovane::FT_FAT16;
}

// A directory item of the volume, as the tree makes one from the boot record
// (with the walk's 32-bit sums): its relativeSector is the first data sector.
TreeItemInfo VolumeItem(const brovane::BootRecord& boot) {
    TreeItemInfo item{};
    item.driveNumber = kHardDisk;
    item.baseSector = kBase;
    item.kind = brovane::IK_DIR_ENTRY;
    item.attributes = brovane::kDirectoryAttribute;
    item.heads = boot.heads;
    item.sectorsPerTrack = boot.sectorsPerTrack;
    item.sectorsPerCluster = boot.sectorsPerCluster;
    item.reservedSectors = boot.reservedSectors;
    item.volumeSectors = brovane::TotalSectors(boot);
    item.fatType = FatTypeOf(boot);
    const bool fat32 = item.fatType == brovane::FT_FAT32;
    item.sectorsPerFat = fat32 ? boot.sectorsPerFat32 : boot.sectorsPerFat16;
    const std::uint32_t rootSectors =
        fat32 ? 0 : boot.rootEntries * kDirectoryEntryBytes / brovane::kSectorBytes;
    item.relativeSector =
        boot.reservedSectors + boot.numberOfFats * item.sectorsPerFat + rootSectors;
    item.firstDataSector = item.relativeSector;
    return item;
}

// The chain from firstCluster, checked against the FAT entry by entry.
std::vector<std::uint32_t> CheckedChain(std::uint32_t firstCluster, std::uint16_t fatType,
                                        ByteSpan fat) {
    const std::uint32_t length = brovane::ChainLength(firstCluster, fatType, fat);
    std::vector<std::uint32_t> list(std::size_t{length} + 4, 0xDEADBEEF);
    Require(brovane::ListChain(firstCluster, fatType, list, fat) == length);
    Require(std::all_of(list.begin() + length, list.end(), [](std::uint32_t c) { return c == 0; }));
    list.resize(length);

    std::vector<std::uint32_t> half(length / 2);
    Require(brovane::ListChain(firstCluster, fatType, half, fat) == half.size());
    Require(std::equal(half.begin(), half.end(), list.begin()));

    std::vector<std::uint32_t> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    Require(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    if (length == 0) {
        return list;
    }
    Require(list[0] == brovane::SignificantCluster(firstCluster, fatType));
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::optional<std::uint32_t> entry = brovane::ReadFatEntry(list[i], fatType, fat);
        Require(entry.has_value());
        if (i + 1 < length) {
            Require(*entry == list[i + 1]);
            continue;
        }
        // The last cluster: its entry ends the chain, closes a circle, or
        // names a cluster whose own entry lies past the image.
        Require(*entry == 0 || *entry == brovane::EndOfChain(fatType) ||
                std::binary_search(sorted.begin(), sorted.end(), *entry) ||
                !brovane::ReadFatEntry(*entry, fatType, fat));
    }
    return list;
}

struct ClusterReads {
    const brovane::PlatformDiskScreen& io;
    const brovane::MemoryDisk& disk;
    const TreeItemInfo& item;
    std::uint64_t budget = kReadBudget;
};

// Whether the cluster's sectors lie on the disk, so that its read succeeds.
bool OnDisk(const ClusterReads& reads, std::uint32_t cluster) {
    const std::optional<std::uint32_t> sector = brovane::ClusterSector(reads.item, cluster);
    return sector && (reads.item.sectorsPerCluster == 0 ||
                      kBase + std::uint64_t{*sector} + reads.item.sectorsPerCluster <=
                          reads.disk.sectorCount);
}

bool Untouched(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == kGuard; });
}

// Reads the clusters into a buffer of `room` bytes between guards.
void CheckClusterRun(ClusterReads& reads, std::span<const std::uint32_t> clusters,
                     std::size_t room) {
    const std::size_t clusterBytes = std::size_t{reads.item.sectorsPerCluster} * fuzz::kSectorBytes;
    const std::size_t needed = clusterBytes * clusters.size();
    std::vector<std::uint8_t> buffer(kGuardBytes + room + kGuardBytes, kGuard);
    const std::span<std::uint8_t> inside(buffer.data() + kGuardBytes, room);
    const bool read = brovane::ReadClusterRun(reads.io, clusters, reads.item, inside);

    Require(Untouched(std::span(buffer).first(kGuardBytes)));
    Require(Untouched(std::span(buffer).last(kGuardBytes)));
    if (room < needed) {
        Require(!read && Untouched(inside));
        return;
    }
    std::size_t i = 0;
    for (; i < clusters.size() && OnDisk(reads, clusters[i]); ++i) {
        const std::uint32_t sector = *brovane::ClusterSector(reads.item, clusters[i]);
        const std::vector<std::uint8_t> expected = brovane::PeekBytes(
            reads.disk, (kBase + std::uint64_t{sector}) * fuzz::kSectorBytes, clusterBytes);
        Require(std::equal(expected.begin(), expected.end(), inside.begin() + i * clusterBytes));
    }
    Require(read == (i == clusters.size()));
    // Past the cluster the run stopped on, nothing is read.
    if (i + 1 < clusters.size()) {
        Require(Untouched(inside.subspan((i + 1) * clusterBytes)));
    }
}

// Reads the start of the chain that fits the budget, in a buffer of the
// right size and in one a byte too small.
void CheckClusterReads(ClusterReads& reads, std::span<const std::uint32_t> chain) {
    const std::uint64_t perCluster = std::max<std::uint64_t>(1, reads.item.sectorsPerCluster);
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(chain.size(), reads.budget / perCluster));
    reads.budget -= count * perCluster;
    const std::span<const std::uint32_t> run = chain.first(count);
    const std::size_t bytes = run.size() * reads.item.sectorsPerCluster * fuzz::kSectorBytes;
    CheckClusterRun(reads, run, bytes);
    if (bytes != 0) {
        CheckClusterRun(reads, run, bytes - 1);
    }
}

// The FAT as the disk holds it: the first copy, or the second when the
// first cannot be read.
bool ReadsAsOnDisk(const brovane::PlatformBlock& fat, const brovane::MemoryDisk& disk,
                   const TreeItemInfo& item) {
    const std::uint64_t first = kBase + std::uint64_t{item.reservedSectors};
    for (std::uint64_t copy : {first, first + item.sectorsPerFat}) {
        const std::vector<std::uint8_t> bytes =
            brovane::PeekBytes(disk, copy * fuzz::kSectorBytes, fat.size());
        if (std::equal(bytes.begin(), bytes.end(), fat.bytes().begin(), fat.bytes().end())) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::KeptBlocks kept;  // lives as long as the fuzzing process
    const ByteSpan volume(data, size);
    const brovane::BootRecord boot = brovane::ReadBootRecord(volume);
    const std::size_t sectors = fuzz::SectorsFor(size);
    fuzz::FuzzPlatform platform(kept);
    brovane::MemoryDisk& disk = *platform.FindDisk(platform.AddHardDisk(kBase + sectors));
    fuzz::FillDisk(disk, kBase, data, size);
    fuzz::FuzzSession run(platform, sectors * fuzz::kSectorBytes, false);
    const brovane::PlatformDiskScreen io = run.session.Io();

    const TreeItemInfo item = VolumeItem(boot);
    brovane::PlatformBlock fat = brovane::AllocateFatImage(platform, item);
    if (!fat || !brovane::ReadFatCopy(io, item, fat)) {
        return 0;
    }
    Require(ReadsAsOnDisk(fat, disk, item));

    std::vector<std::uint32_t> firstClusters = {boot.rootCluster};
    for (std::uint32_t cluster = 2; cluster < 2 + kFirstClusters; ++cluster) {
        firstClusters.push_back(cluster);
    }
    ClusterReads reads{io, disk, item};
    for (std::uint32_t firstCluster : firstClusters) {
        for (std::uint16_t fatType : kFatTypes) {
            const std::vector<std::uint32_t> chain =
                CheckedChain(firstCluster, fatType, fat.bytes());
            if (fatType == item.fatType) {
                CheckClusterReads(reads, chain);
            }
        }
        // The first cluster as stored, read alone, whatever the FAT says.
        CheckClusterReads(reads, std::span(&firstCluster, 1));
    }
    return 0;
}

#include "imaging/structure_walk.h"

#include <algorithm>
#include <unordered_set>

#include "disk/memory_blocks.h"
#include "format/boot_record.h"
#include "format/directory_entry.h"
#include "format/partition_entry.h"
#include "platform/disk_units.h"
#include "tree/directory_children.h"
#include "tree/system_indicators.h"
#include "tree/tree_item_info.h"
#include "volume/cluster_chain.h"

namespace brovane {

namespace {

// An extended chain longer than this is taken to be damaged.
constexpr std::size_t kMaxExtendedTables = 4096;
// Neighbouring directory clusters are read together up to this many sectors.
constexpr std::uint64_t kLongestRead = 2048;

// count sectors from first as one block, or an empty handle when the size
// is refused (more than the source holds, or than any block may be).
PlatformBlock ReadBlock(Platform& platform, SectorSource& source, std::uint64_t first,
                        std::uint64_t count) {
    if (count > source.Sectors()) {
        return {};
    }
    PlatformBlock block = AllocateSectors(platform, count);
    if (block && count > 0) {
        source.Read(first, static_cast<std::uint32_t>(count), block.bytes());
    }
    return block;
}

struct Directory {
    std::string path;
    std::uint32_t firstCluster = 0;
};

// One volume's directory tree, walked from its root.
class VolumeTreeWalk {
  public:
    VolumeTreeWalk(Platform& platform, SectorSource& source, const FoundVolume& volume,
                   StructureVisitor& visitor)
        : platform_(platform), source_(source), volume_(volume), visitor_(visitor) {}

    void Run() {
        fat_ = ReadMergedFat(platform_, source_, volume_);
        const VolumeLayout& layout = volume_.layout;
        if (layout.fatType != kFat32Code) {
            const std::uint64_t root = volume_.base + layout.rootSector;
            PlatformBlock data = ReadBlock(platform_, source_, root, layout.rootSectors);
            if (data) {
                WalkEntries("", data.bytes(), DirectoryHolder::FixedRoot,
                            [root](std::size_t offset) { return root + offset / kSectorBytes; });
            }
        } else {
            pending_.push_back({"", layout.rootCluster});
        }
        while (!pending_.empty() && !source_.Stopped()) {
            Directory directory = std::move(pending_.back());
            pending_.pop_back();
            WalkChainDirectory(directory);
        }
    }

  private:
    std::uint64_t ClusterBytes() const {
        return std::uint64_t{volume_.layout.sectorsPerCluster} * kSectorBytes;
    }

    std::optional<ClusterChain> Chain(std::uint32_t firstCluster) {
        if (!fat_) {
            return std::nullopt;
        }
        const ByteSpan fat = fat_.bytes();
        return ListClusterChain(platform_, firstCluster, volume_.layout.fatType, fat);
    }

    void WalkChainDirectory(const Directory& directory) {
        if (!walked_.insert(directory.firstCluster).second) {
            return;
        }
        std::optional<ClusterChain> chain = Chain(directory.firstCluster);
        if (!chain) {
            return;
        }
        const std::span<const std::uint32_t> clusters = chain->Clusters();
        const std::uint64_t perCluster = volume_.layout.sectorsPerCluster;
        PlatformBlock data = AllocateSectors(platform_, clusters.size() * perCluster);
        if (!data || clusters.size() * perCluster > source_.Sectors()) {
            return;
        }
        // Clusters that follow one another on the disk are read as one.
        for (std::size_t i = 0, n = 1; i < clusters.size(); i += n) {
            for (n = 1; i + n < clusters.size() && clusters[i + n] == clusters[i] + n &&
                        (n + 1) * perCluster <= kLongestRead;
                 ++n) {
            }
            if (auto first = ClusterStart(volume_, clusters[i])) {
                const std::uint64_t sectors = n * perCluster;
                source_.Read(
                    *first, static_cast<std::uint32_t>(sectors),
                    data.bytes().subspan(i * perCluster * kSectorBytes, sectors * kSectorBytes));
            }
        }
        const FoundVolume& volume = volume_;
        const std::uint64_t clusterBytes = ClusterBytes();
        WalkEntries(directory.path, data.bytes(), DirectoryHolder::ClusterChain,
                    [&volume, clusters, clusterBytes](std::size_t offset) {
                        auto first = ClusterStart(volume, clusters[offset / clusterBytes]);
                        return first ? *first + offset % clusterBytes / kSectorBytes : 0;
                    });
    }

    template <typename SectorOf>
    void WalkEntries(const std::string& path, ByteSpan data, DirectoryHolder holder,
                     const SectorOf& sectorOf) {
        ForEachListedEntry(
            data, holder,
            [&](std::size_t index, const DirectoryEntry& entry, std::string_view name) {
                FoundEntry found;
                found.path = path.empty() ? std::string(name) : path + "/" + std::string(name);
                found.entrySector = sectorOf(index * kDirectoryEntryBytes);
                found.fileSize = entry.fileSize;
                found.directory = (entry.attributes & kAttrDirectory) != 0;
                const std::uint32_t first = StartCluster(entry, volume_.layout.fatType);
                std::optional<ClusterChain> chain = Chain(first);
                if (chain) {
                    found.clusters = chain->Clusters();
                    if (!found.directory) {
                        const std::uint64_t needed =
                            (found.fileSize + ClusterBytes() - 1) / ClusterBytes();
                        found.clusters = found.clusters.first(static_cast<std::size_t>(
                            std::min<std::uint64_t>(needed, found.clusters.size())));
                    }
                }
                visitor_.OnEntry(volume_, found);
                if (found.directory) {
                    pending_.push_back({found.path, first});
                }
                return !source_.Stopped();
            });
    }

    Platform& platform_;
    SectorSource& source_;
    const FoundVolume& volume_;
    StructureVisitor& visitor_;
    PlatformBlock fat_;
    std::vector<Directory> pending_;
    std::unordered_set<std::uint32_t> walked_;
};

struct TableWalk {
    Platform& platform;
    SectorSource& source;
    StructureVisitor& visitor;
    std::uint64_t extendedBase = 0;
    std::vector<std::uint64_t> tables;  // extended tables still to read
    std::unordered_set<std::uint64_t> seen;
};

void WalkEntry(TableWalk& walk, const PartitionEntry& entry, std::uint64_t tableBase,
               bool inExtendedTable) {
    const SystemIndicatorInfo& info = LookUpSystemIndicator(entry.systemIndicator);
    if (IsExtendedIndicator(entry.systemIndicator)) {
        const std::uint64_t link =
            (inExtendedTable ? walk.extendedBase : 0) + entry.relativeSectors;
        if (walk.seen.size() < kMaxExtendedTables && walk.seen.insert(link).second) {
            walk.tables.push_back(link);
        }
        return;
    }
    const std::uint16_t kind =
        inExtendedTable ? info.kindInExtendedTable : info.kindInMasterBootRecord;
    if (kind == IK_VOLUME) {
        WalkVolumeStructure(walk.platform, walk.source, tableBase + entry.relativeSectors,
                            info.fatType == FT_FAT32, walk.visitor);
    }
}

void WalkTable(TableWalk& walk, std::uint64_t tableSector, bool inExtendedTable) {
    PlatformBlock table = ReadBlock(walk.platform, walk.source, tableSector, 1);
    if (!table) {
        return;
    }
    for (int index = 0; index < kPartitionEntries && !walk.source.Stopped(); ++index) {
        const PartitionEntry entry = ReadPartitionEntry(table.bytes(), index);
        if (entry.systemIndicator != kEmptyEntry) {
            WalkEntry(walk, entry, inExtendedTable ? tableSector : 0, inExtendedTable);
        }
    }
}

}  // namespace

PlatformBlock ReadMergedFat(Platform& platform, SectorSource& source, const FoundVolume& volume) {
    const VolumeLayout& layout = volume.layout;
    const unsigned copies = std::min<unsigned>(layout.numberOfFats, kFatCopiesRead);
    if (copies == 0) {
        return {};
    }
    PlatformBlock fat =
        ReadBlock(platform, source, volume.base + FatSector(layout, 1), layout.sectorsPerFat);
    for (unsigned n = 2; fat && n <= copies; ++n) {
        const std::uint64_t first = volume.base + FatSector(layout, n);
        PlatformBlock other = ReadBlock(platform, source, first, layout.sectorsPerFat);
        if (!other) {
            break;
        }
        const std::uint64_t firstOfCopy1 = volume.base + FatSector(layout, 1);
        for (std::uint32_t s = 0; s < layout.sectorsPerFat; ++s) {
            if (!source.IsReadable(firstOfCopy1 + s) && source.IsReadable(first + s)) {
                std::copy_n(other.data() + std::size_t{s} * kSectorBytes, kSectorBytes,
                            fat.data() + std::size_t{s} * kSectorBytes);
            }
        }
    }
    return fat;
}

std::optional<std::uint64_t> ClusterStart(const FoundVolume& volume, std::uint32_t cluster) {
    if (cluster < 2) {
        return std::nullopt;
    }
    return volume.base + volume.layout.dataSector +
           std::uint64_t{cluster - 2} * volume.layout.sectorsPerCluster;
}

void WalkVolumeStructure(Platform& platform, SectorSource& source, std::uint64_t base,
                         bool fat32Indicator, StructureVisitor& visitor) {
    PlatformBlock sector = ReadBlock(platform, source, base, 1);
    if (!sector || base >= source.Sectors()) {
        return;
    }
    const auto layout = FatVolumeLayout(ReadBootRecord(sector.bytes()), fat32Indicator);
    if (!layout) {
        return;
    }
    const FoundVolume volume{base, *layout};
    visitor.OnVolume(volume);
    VolumeTreeWalk(platform, source, volume, visitor).Run();
}

void WalkDiskStructure(Platform& platform, SectorSource& source, StructureVisitor& visitor) {
    TableWalk walk{platform, source, visitor, 0, {}, {}};
    PlatformBlock mbr = ReadBlock(platform, source, 0, 1);
    if (!mbr) {
        return;
    }
    // The extended base is the last extended entry's start, as the tree takes it.
    for (int index = 0; index < kPartitionEntries; ++index) {
        const PartitionEntry entry = ReadPartitionEntry(mbr.bytes(), index);
        if (IsExtendedIndicator(entry.systemIndicator)) {
            walk.extendedBase = entry.relativeSectors;
        }
    }
    WalkTable(walk, 0, false);
    for (std::size_t next = 0; next < walk.tables.size() && !source.Stopped(); ++next) {
        WalkTable(walk, walk.tables[next], true);
    }
}

}  // namespace brovane

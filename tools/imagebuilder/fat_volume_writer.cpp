// The volume is laid out and its clusters assigned before anything is
// written; damage (FAT entry and boot field overrides) is applied last, to
// the bytes only, so that it never changes where anything lies.
#include "imagebuilder/fat_volume_writer.h"

#include <array>
#include <span>

#include "imagebuilder/boot_record.h"
#include "imagebuilder/cluster_allocation.h"
#include "imagebuilder/directory_data.h"
#include "imagebuilder/directory_plan.h"
#include "imagebuilder/fat_table.h"

namespace brovane::imagebuilder {

namespace {

using Sector = std::array<std::uint8_t, kSectorBytes>;

struct VolumeWriter {
    const FatVolume& volume;
    const VolumeLayout& layout;
    SparseImage& image;
    std::string& error;

    bool WriteAt(std::uint64_t relativeSector, std::span<const std::uint8_t> bytes) {
        if (relativeSector * kSectorBytes + bytes.size() >
                std::uint64_t{volume.totalSectors} * kSectorBytes ||
            !image.Write((volume.firstSector + relativeSector) * kSectorBytes, bytes)) {
            error = "volume at sector " + std::to_string(volume.firstSector) + " runs past its end";
            return false;
        }
        return true;
    }

    // Writes the bytes cluster by cluster along the chain.
    bool WriteAlongChain(const std::vector<std::uint32_t>& chain,
                         std::span<const std::uint8_t> bytes) {
        const std::size_t clusterBytes = std::size_t{volume.sectorsPerCluster} * kSectorBytes;
        for (std::size_t i = 0; i < chain.size() && i * clusterBytes < bytes.size(); ++i) {
            const auto piece = bytes.subspan(
                i * clusterBytes, std::min(clusterBytes, bytes.size() - i * clusterBytes));
            if (!WriteAt(layout.ClusterSector(chain[i], volume.sectorsPerCluster), piece)) {
                return false;
            }
        }
        return true;
    }
};

std::span<const std::uint8_t> AsBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string BootLabel(const FatVolume& volume) {
    if (!volume.bootLabel.empty()) {
        return volume.bootLabel;
    }
    for (const EntryDescription& item : volume.entries) {
        if (item.kind == EntryKind::VolumeLabel && !item.deleted) {
            return item.label;
        }
    }
    return "NO NAME";
}

FatTable BuildFat(const FatVolume& volume, const VolumeLayout& layout,
                  const ClusterPlan& clusters) {
    FatTable fat = MakeFatTable(volume.kind, layout.sectorsPerFat);
    WriteReservedEntries(fat, volume.media);
    WriteChain(fat, clusters.rootChain);
    for (std::size_t i = 0; i < volume.entries.size(); ++i) {
        if (!volume.entries[i].deleted) {
            WriteChain(fat, clusters.chains[i]);
        }
    }
    return fat;
}

FatTable FatCopy(const FatVolume& volume, const FatTable& fat, std::uint32_t copy) {
    FatTable result = fat;
    for (const FatEntryOverride& override : volume.fatOverrides) {
        if (!override.copy || *override.copy == copy) {
            SetFatEntry(result, override.cluster, override.value);
        }
    }
    return result;
}

bool WriteFats(VolumeWriter& writer, const FatTable& fat) {
    for (std::uint32_t copy = 1; copy <= writer.volume.fatCount; ++copy) {
        const std::uint64_t at =
            writer.layout.reservedSectors + std::uint64_t{copy - 1} * writer.layout.sectorsPerFat;
        if (!writer.WriteAt(at, FatCopy(writer.volume, fat, copy).bytes)) {
            return false;
        }
    }
    return true;
}

bool WriteDirectories(VolumeWriter& writer, const VolumePlan& plan, const ClusterPlan& clusters) {
    const std::vector<std::uint8_t> root = EncodeDirectoryData(writer.volume, plan, clusters, 0);
    if (writer.volume.kind != FatKind::Fat32) {
        if (root.size() > std::size_t{writer.layout.rootDirSectors} * kSectorBytes) {
            writer.error = "the root directory holds more entries than its " +
                           std::to_string(writer.volume.rootEntryCount);
            return false;
        }
        if (!writer.WriteAt(writer.layout.rootDirSector, root)) {
            return false;
        }
    } else if (!writer.WriteAlongChain(clusters.rootChain, root)) {
        return false;
    }
    for (std::size_t d = 1; d < plan.directories.size(); ++d) {
        const auto data = EncodeDirectoryData(writer.volume, plan, clusters, d);
        if (!writer.WriteAlongChain(clusters.chains[*plan.directories[d].item], data)) {
            return false;
        }
    }
    return true;
}

bool WriteFileData(VolumeWriter& writer, const ClusterPlan& clusters) {
    for (std::size_t i = 0; i < writer.volume.entries.size(); ++i) {
        const EntryDescription& item = writer.volume.entries[i];
        if (item.kind == EntryKind::File &&
            !writer.WriteAlongChain(clusters.chains[i], AsBytes(item.data))) {
            return false;
        }
    }
    return true;
}

void CountFree(const FatTable& fat, std::uint32_t clusterCount, std::uint32_t& freeCount,
               std::uint32_t& nextFree) {
    freeCount = 0;
    nextFree = 0xFFFFFFFF;
    for (std::uint32_t c = 2; c < clusterCount + 2; ++c) {
        if (GetFatEntry(fat, c) == 0) {
            ++freeCount;
            nextFree = std::min(nextFree, c);
        }
    }
}

// FAT32 keeps the boot record and FSInfo twice: at 0 and at the backup sector.
bool WriteBootArea(VolumeWriter& writer, const FatTable& fat) {
    const FatVolume& volume = writer.volume;
    Sector boot{};
    EncodeBootRecord(boot, volume, writer.layout, BootLabel(volume));
    Sector primary = boot;
    for (const BootFieldOverride& override : volume.bootOverrides) {
        if (!ApplyBootOverride(primary, volume.kind, override, writer.error)) {
            return false;
        }
    }
    if (!writer.WriteAt(0, primary)) {
        return false;
    }
    if (volume.kind != FatKind::Fat32) {
        return true;
    }
    Sector fsInfo{};
    std::uint32_t freeCount = 0;
    std::uint32_t nextFree = 0;
    CountFree(FatCopy(volume, fat, 1), writer.layout.clusterCount, freeCount, nextFree);
    EncodeFsInfo(fsInfo, freeCount, nextFree);
    return writer.WriteAt(volume.fsInfoSector, fsInfo) &&
           writer.WriteAt(volume.backupBootSector, boot) &&
           writer.WriteAt(volume.backupBootSector + 1u, fsInfo);
}

}  // namespace

bool WriteFatVolume(const FatVolume& volume, SparseImage& image, std::string& error) {
    if ((volume.firstSector + volume.totalSectors) * kSectorBytes > image.Size()) {
        error =
            "volume at sector " + std::to_string(volume.firstSector) + " runs past the disk's end";
        return false;
    }
    VolumeLayout layout;
    VolumePlan plan;
    ClusterPlan clusters;
    if (!ComputeLayout(volume, layout, error) || !PlanDirectories(volume, plan, error) ||
        !AllocateClusters(volume, layout, plan, clusters, error)) {
        return false;
    }
    VolumeWriter writer{volume, layout, image, error};
    const FatTable fat = BuildFat(volume, layout, clusters);
    return WriteBootArea(writer, fat) && WriteFats(writer, fat) &&
           WriteDirectories(writer, plan, clusters) && WriteFileData(writer, clusters);
}

}  // namespace brovane::imagebuilder

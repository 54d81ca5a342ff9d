#include "imaging/damage_report.h"

#include <algorithm>

#include "disk/sector_transfer.h"
#include "imaging/map_sectors.h"
#include "imaging/structure_walk.h"
#include "platform/disk_units.h"

namespace brovane {

namespace {

// Reads per transfer while walking the image.
constexpr std::uint32_t kReadSectors = 2048;

// The image's sectors from the volume's first, judged by the map.
class MappedImage : public SectorSource {
  public:
    MappedImage(Platform& platform, DiskAccess& disk, const CopyExtent& volume,
                const std::vector<RescueBlock>& map)
        : platform_(platform), disk_(disk), volume_(volume), map_(map), unread_(kReadSectors) {}

    std::uint64_t Sectors() const override { return volume_.sectors; }

    void Read(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        for (std::uint32_t done = 0; done < count && first + done < volume_.sectors;) {
            const auto piece = static_cast<std::uint32_t>(std::min<std::uint64_t>(
                {count - done, kReadSectors, volume_.sectors - first - done}));
            SectorRun run = volume_.origin;
            run.relativeSector = static_cast<std::uint32_t>(first + done);
            run.sectorCount = piece;
            std::uint8_t* place = out.data() + std::size_t{done} * kSectorBytes;
            ReadSectorsNotingUnread(platform_, disk_, run, place, std::span(unread_).first(piece));
            for (std::uint32_t i = 0; i < piece; ++i) {
                if (unread_[i] != 0) {
                    std::fill_n(place + std::size_t{i} * kSectorBytes, kSectorBytes, 0);
                }
            }
            done += piece;
        }
    }

    bool IsReadable(std::uint64_t sector) override {
        return IsSectorFinished(map_, DriveSector(sector));
    }

    std::uint64_t DriveSector(std::uint64_t sector) const {
        return volume_.origin.baseSector + sector;
    }

  private:
    Platform& platform_;
    DiskAccess& disk_;
    const CopyExtent& volume_;
    const std::vector<RescueBlock>& map_;
    std::vector<std::uint8_t> unread_;
};

class DamageFinder : public StructureVisitor {
  public:
    DamageFinder(MappedImage& image, DamageReport& report) : image_(image), report_(report) {}

    void OnVolume(const FoundVolume& volume) override {
        const unsigned copies = std::min<unsigned>(volume.layout.numberOfFats, kFatCopiesRead);
        for (unsigned n = 1; n <= copies; ++n) {
            const std::uint64_t first = volume.base + FatSector(volume.layout, n);
            // A FAT claimed past the drive's end is not on the disk to list.
            for (std::uint32_t s = 0;
                 s < volume.layout.sectorsPerFat && first + s < image_.Sectors(); ++s) {
                if (!image_.IsReadable(first + s)) {
                    report_.fatSectors.push_back({image_.DriveSector(first + s), n});
                }
            }
        }
    }

    void OnEntry(const FoundVolume& volume, const FoundEntry& entry) override {
        const std::uint64_t clusterBytes =
            std::uint64_t{volume.layout.sectorsPerCluster} * kSectorBytes;
        DamagedItem item;
        item.path = entry.path;
        item.directory = entry.directory;
        item.size = entry.directory ? entry.clusters.size() * clusterBytes : entry.fileSize;
        bool found = false;
        for (std::size_t i = 0; i < entry.clusters.size(); ++i) {
            const auto start = ClusterStart(volume, entry.clusters[i]);
            for (std::uint32_t s = 0; start && s < volume.layout.sectorsPerCluster; ++s) {
                const std::uint64_t offset = i * clusterBytes + std::uint64_t{s} * kSectorBytes;
                if (offset >= item.size || image_.IsReadable(*start + s)) {
                    continue;
                }
                item.bytesAffected += std::min<std::uint64_t>(kSectorBytes, item.size - offset);
                if (!found) {
                    item.firstBadSector = image_.DriveSector(*start + s);
                    found = true;
                }
            }
        }
        const bool entryBad = !image_.IsReadable(entry.entrySector);
        if (entryBad && !found) {
            item.firstBadSector = image_.DriveSector(entry.entrySector);
        }
        if (found || entryBad) {
            report_.items.push_back(std::move(item));
        }
    }

  private:
    MappedImage& image_;
    DamageReport& report_;
};

}  // namespace

DamageReport ReportDamage(Platform& platform, DiskAccess& disk, const CopyExtent& volume,
                          const std::vector<RescueBlock>& map) {
    DamageReport report;
    MappedImage image(platform, disk, volume, map);
    DamageFinder finder(image, report);
    WalkVolumeStructure(platform, image, 0, volume.fat32Indicator, finder);
    return report;
}

}  // namespace brovane

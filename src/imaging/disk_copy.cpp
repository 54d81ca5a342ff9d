#include "imaging/disk_copy.h"

#include <algorithm>

#include "imaging/image_copier.h"
#include "imaging/rescue_map_file.h"
#include "imaging/structure_walk.h"
#include "platform/disk_units.h"

namespace brovane {

namespace {

// Collects the sectors of the allocated files' clusters while the walk
// copies the structure; the volumes' reserved sectors are copied as met.
class StructureCopy : public StructureVisitor {
  public:
    explicit StructureCopy(ImageCopier& copier) : copier_(copier) {}

    // Reserved sectors, FATs and a fixed root directory lie back to back in
    // front of the data: one stretch, read in long runs.
    void OnVolume(const FoundVolume& volume) override {
        copier_.Copy({volume.base, std::max<std::uint64_t>(volume.layout.dataSector, 1)});
    }

    void OnEntry(const FoundVolume& volume, const FoundEntry& entry) override {
        if (entry.directory) {
            return;
        }
        for (std::uint32_t cluster : entry.clusters) {
            if (auto first = ClusterStart(volume, cluster)) {
                Add({*first, volume.layout.sectorsPerCluster});
            }
        }
    }

    // The files' sectors in disk order, neighbours joined.
    std::vector<SectorSpan> FileSectors() {
        std::sort(files_.begin(), files_.end(),
                  [](const SectorSpan& a, const SectorSpan& b) { return a.first < b.first; });
        std::vector<SectorSpan> joined;
        for (const SectorSpan& span : files_) {
            if (!joined.empty() && span.first <= joined.back().first + joined.back().count) {
                const std::uint64_t end =
                    std::max(joined.back().first + joined.back().count, span.first + span.count);
                joined.back().count = end - joined.back().first;
            } else {
                joined.push_back(span);
            }
        }
        return joined;
    }

  private:
    void Add(SectorSpan span) {
        if (!files_.empty() && files_.back().first + files_.back().count == span.first) {
            files_.back().count += span.count;
        } else {
            files_.push_back(span);
        }
    }

    ImageCopier& copier_;
    std::vector<SectorSpan> files_;
};

CopyOutcome OutcomeOf(CopyStop stop) {
    switch (stop) {
        case CopyStop::kNone:
            return CopyOutcome::kCopied;
        case CopyStop::kCancelled:
            return CopyOutcome::kCancelled;
        case CopyStop::kImageUnwritable:
            return CopyOutcome::kImageUnwritable;
        case CopyStop::kMapUnwritable:
            return CopyOutcome::kMapUnwritable;
        case CopyStop::kNoMemory:
            return CopyOutcome::kNoMemory;
    }
    return CopyOutcome::kCopied;
}

// The map to start from: all not tried, or the one beside the image.
std::optional<RescueMap> StartingMap(Platform& platform, const CopyJob& job, CopyResult& result) {
    RescueMap map;
    const std::uint64_t bytes = job.extent.sectors * kSectorBytes;
    if (job.resume) {
        std::string error;
        if (LoadRescueMap(platform, MapPathOf(job.imagePath), map, error) == MapLoad::kInvalid) {
            result.outcome = CopyOutcome::kMapInvalid;
            result.detail = error;
            return std::nullopt;
        }
        if (!map.blocks.empty() && map.blocks.back().End() > bytes) {
            result.outcome = CopyOutcome::kMapTooLong;
            return std::nullopt;
        }
        return map;
    }
    if (bytes > 0) {
        map.blocks.push_back({0, bytes, BlockStatus::kNotTried});
    }
    return map;
}

// The file written: IMAGE.part, which a resumed copy goes on with where it
// lies; else, resuming, the image itself.
std::string TargetPathOf(Platform& platform, const CopyJob& job) {
    const std::string part = PartPathOf(job.imagePath);
    if (job.resume && !platform.HostFileExists(part) && platform.HostFileExists(job.imagePath)) {
        return job.imagePath;
    }
    return part;
}

void CopyAll(Platform& platform, const CopyExtent& extent, ImageCopier& copier) {
    StructureCopy structure(copier);
    if (extent.structure == CopyStructure::kDisk) {
        WalkDiskStructure(platform, copier, structure);
    } else if (extent.structure == CopyStructure::kVolume) {
        WalkVolumeStructure(platform, copier, 0, extent.fat32Indicator, structure);
    }
    for (const SectorSpan& span : structure.FileSectors()) {
        copier.Copy(span);
    }
    copier.Copy({0, extent.sectors});
}

}  // namespace

std::string MapPathOf(const std::string& imagePath) {
    return imagePath + ".map";
}

std::string PartPathOf(const std::string& imagePath) {
    return imagePath + ".part";
}

CopyResult CopyToImage(Platform& platform, DiskAccess& disk, const CopyJob& job,
                       const ProgressReport& report, const CancelFlag& cancel) {
    CopyResult result;
    result.sectors = job.extent.sectors;
    std::optional<RescueMap> map = StartingMap(platform, job, result);
    if (!map) {
        return result;
    }
    const std::string target = TargetPathOf(platform, job);
    const bool exists = job.resume && platform.HostFileExists(target);
    const DeviceHandle image =
        exists ? platform.OpenHostFile(target) : platform.CreateHostFile(target);
    if (image == kInvalidHandle) {
        result.outcome = CopyOutcome::kImageUncreatable;
        return result;
    }
    ImageCopier copier({platform, disk, job.extent.origin, job.extent.sectors}, image,
                       std::move(*map), MapPathOf(job.imagePath), job.mapInterval, report, cancel);
    // A new copy's map is written first, so that no older map beside it is
    // ever taken to describe the new image.
    if (job.resume || copier.SaveMap(false)) {
        CopyAll(platform, job.extent, copier);
    }
    // Whatever stopped the copy, the map keeps what the image took (its
    // save flushes the image first and fails when that fails).
    const bool stopped = copier.Stopped();
    if (copier.Stop() != CopyStop::kMapUnwritable) {
        copier.SaveMap(!stopped);
    }
    platform.CloseHostFile(image);
    result.bad = copier.BadSectors();
    result.outcome = OutcomeOf(copier.Stop());
    if (result.outcome == CopyOutcome::kCopied && target != job.imagePath &&
        !platform.ReplaceHostFile(target, job.imagePath)) {
        result.outcome = CopyOutcome::kImageUnwritable;
    }
    return result;
}

}  // namespace brovane

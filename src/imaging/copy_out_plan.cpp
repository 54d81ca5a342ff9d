#include "imaging/copy_out_plan.h"

#include <algorithm>
#include <ctime>
#include <set>
#include <unordered_set>

#include "format/boot_record.h"
#include "format/directory_entry.h"
#include "format/fat_entry.h"
#include "imaging/copy_out_names.h"
#include "platform/disk_units.h"
#include "volume/cluster_chain.h"

namespace brovane {

namespace {

// A directory holds at most 65,536 entries; a longer chain is damage.
constexpr std::uint64_t kMaxDirectoryBytes = 65536 * kDirectoryEntryBytes;

struct Folder {
    std::string path;
    std::uint32_t cluster = 0;  // 0 with a fixed root: the root
    bool deleted = false;
};

class PlanWalk {
  public:
    PlanWalk(Platform& platform, SectorSource& source, CopyOutPlan& plan, ByteSpan fat)
        : platform_(platform), source_(source), plan_(plan), fat_(fat) {}

    bool Run(const CopyOutStart& start, std::string& error);

  private:
    const VolumeLayout& Layout() const { return plan_.volume.layout; }
    std::uint64_t ClusterBytes() const {
        return std::uint64_t{Layout().sectorsPerCluster} * kSectorBytes;
    }
    bool IsFixedRoot(std::uint32_t cluster) const {
        return cluster == 0 && Layout().fatType != kFat32Code;
    }
    std::vector<std::uint32_t> ChainOf(std::uint32_t first) const;
    std::vector<std::uint32_t> GuessedClusters(std::uint32_t first, std::uint64_t count) const;
    std::vector<std::uint8_t> ReadFolder(const Folder& folder);
    void AddEntry(const std::string& folder, ByteSpan data, std::size_t index, bool deleted,
                  std::set<std::string>& taken);
    void AddContents(const Folder& folder);

    Platform& platform_;
    SectorSource& source_;
    CopyOutPlan& plan_;
    ByteSpan fat_;
    std::vector<Folder> pending_;
    std::unordered_set<std::uint32_t> walked_;
};

std::vector<std::uint32_t> PlanWalk::ChainOf(std::uint32_t first) const {
    std::optional<ClusterChain> chain = ListClusterChain(platform_, first, Layout().fatType, fat_);
    if (!chain) {
        return {};
    }
    const std::span<const std::uint32_t> clusters = chain->Clusters();
    return {clusters.begin(), clusters.end()};
}

std::vector<std::uint32_t> PlanWalk::GuessedClusters(std::uint32_t first,
                                                     std::uint64_t count) const {
    std::vector<std::uint32_t> clusters;
    for (std::uint32_t cluster = std::max<std::uint32_t>(first, 2);
         first >= 2 && clusters.size() < count; ++cluster) {
        const std::optional<std::uint32_t> entry = ReadFatEntry(cluster, Layout().fatType, fat_);
        if (!entry) {
            break;  // past the FAT
        }
        if (*entry == 0) {
            clusters.push_back(cluster);
        }
    }
    return clusters;
}

std::vector<std::uint8_t> PlanWalk::ReadFolder(const Folder& folder) {
    std::vector<std::uint8_t> data;
    if (IsFixedRoot(folder.cluster)) {
        data.resize(std::size_t{Layout().rootSectors} * kSectorBytes);
        source_.Read(Layout().rootSector, Layout().rootSectors, data);
        return data;
    }
    const std::vector<std::uint32_t> clusters =
        folder.deleted ? GuessedClusters(folder.cluster, 1) : ChainOf(folder.cluster);
    const std::uint64_t count =
        std::min<std::uint64_t>(clusters.size(), kMaxDirectoryBytes / ClusterBytes() + 1);
    data.resize(static_cast<std::size_t>(count * ClusterBytes()));
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto first = ClusterStart(plan_.volume, clusters[i])) {
            source_.Read(*first, Layout().sectorsPerCluster,
                         std::span(data).subspan(i * ClusterBytes(), ClusterBytes()));
        }
    }
    return data;
}

bool IsCopyable(const DirectoryEntry& entry) {
    return !IsLongNameSlot(entry) && !IsEndOfDirectory(entry) && !IsDotEntry(entry) &&
           (entry.attributes & kAttrVolumeLabel) == 0;
}

void PlanWalk::AddEntry(const std::string& folder, ByteSpan data, std::size_t index, bool deleted,
                        std::set<std::string>& taken) {
    const DirectoryEntry entry = ReadDirectoryEntry(data, index);
    deleted = deleted || IsDeleted(entry);
    PlannedItem item;
    const std::string name = UniqueName(HostName(EntryName(data, index, entry, deleted)), taken);
    item.path = folder.empty() ? name : folder + "/" + name;
    item.guessed = deleted;
    item.time = DosTimeToSeconds(entry.modifiedDate, entry.modifiedTime);
    const std::uint32_t first = StartCluster(entry, Layout().fatType);
    if ((entry.attributes & kAttrDirectory) != 0) {
        const bool again = IsFixedRoot(first) || !walked_.insert(first).second;
        item.kind = again ? PlannedKind::kLoop : PlannedKind::kFolder;
        if (!again) {
            pending_.push_back({item.path, first, deleted});
            ++plan_.folders;
        }
        plan_.items.push_back(std::move(item));
        return;
    }
    item.size = entry.fileSize;
    const std::uint64_t needed =
        (std::uint64_t{entry.fileSize} + ClusterBytes() - 1) / ClusterBytes();
    item.clusters = deleted ? GuessedClusters(first, needed) : ChainOf(first);
    item.clusters.resize(std::min<std::size_t>(item.clusters.size(), needed));
    ++plan_.files;
    plan_.bytes += entry.fileSize;
    plan_.items.push_back(std::move(item));
}

void PlanWalk::AddContents(const Folder& folder) {
    const std::vector<std::uint8_t> data = ReadFolder(folder);
    std::set<std::string> taken;
    const std::size_t count = DirectoryEntryCount(data);
    for (std::size_t index = 0; index < count && !source_.Stopped(); ++index) {
        const DirectoryEntry entry = ReadDirectoryEntry(data, index);
        if (IsEndOfDirectory(entry)) {
            break;
        }
        if (IsCopyable(entry) && (folder.deleted || !IsDeleted(entry))) {
            AddEntry(folder.path, data, index, folder.deleted, taken);
        }
    }
}

bool PlanWalk::Run(const CopyOutStart& start, std::string& error) {
    const std::uint32_t root = Layout().fatType == kFat32Code ? Layout().rootCluster : 0;
    const Folder top{"", start.directoryCluster.value_or(root), false};
    walked_.insert(top.cluster);
    if (start.entryIndex) {
        const std::vector<std::uint8_t> data = ReadFolder(top);
        if (*start.entryIndex >= DirectoryEntryCount(data) ||
            !IsCopyable(ReadDirectoryEntry(data, *start.entryIndex))) {
            error = "That row is no file or directory: nothing was copied.";
            return false;
        }
        std::set<std::string> taken;
        AddEntry("", data, *start.entryIndex, false, taken);
    } else {
        AddContents(top);
    }
    while (!pending_.empty() && !source_.Stopped()) {
        const Folder folder = std::move(pending_.back());
        pending_.pop_back();
        AddContents(folder);
    }
    return true;
}

}  // namespace

std::optional<std::int64_t> DosTimeToSeconds(std::uint16_t date, std::uint16_t time) {
    std::tm fields{};
    fields.tm_year = 80 + (date >> 9);
    fields.tm_mon = ((date >> 5) & 0x0F) - 1;
    fields.tm_mday = date & 0x1F;
    fields.tm_hour = time >> 11;
    fields.tm_min = (time >> 5) & 0x3F;
    fields.tm_sec = (time & 0x1F) * 2;
    fields.tm_isdst = -1;
    if (date == 0 || fields.tm_mon < 0 || fields.tm_mon > 11 || fields.tm_mday == 0 ||
        fields.tm_hour > 23 || fields.tm_min > 59 || fields.tm_sec > 59) {
        return std::nullopt;
    }
    const std::time_t seconds = std::mktime(&fields);
    return seconds == static_cast<std::time_t>(-1) ? std::nullopt
                                                   : std::optional<std::int64_t>(seconds);
}

std::optional<CopyOutPlan> PlanCopyOut(Platform& platform, SectorSource& source,
                                       bool fat32Indicator, const CopyOutStart& start,
                                       std::string& error) {
    std::vector<std::uint8_t> sector(kSectorBytes);
    source.Read(0, 1, sector);
    const std::optional<VolumeLayout> layout =
        FatVolumeLayout(ReadBootRecord(sector), fat32Indicator);
    if (!layout || !source.IsReadable(0)) {
        error = "The volume's boot record cannot be read: nothing was copied.";
        return std::nullopt;
    }
    CopyOutPlan plan;
    plan.volume = FoundVolume{0, *layout};
    const PlatformBlock fat = ReadMergedFat(platform, source, plan.volume);
    if (!fat) {
        error = "The volume's FAT cannot be had: nothing was copied.";
        return std::nullopt;
    }
    PlanWalk walk(platform, source, plan, fat.bytes());
    if (!walk.Run(start, error)) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace brovane

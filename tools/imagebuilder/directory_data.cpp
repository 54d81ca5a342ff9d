#include "imagebuilder/directory_data.h"

#include "imagebuilder/directory_entry.h"
#include "imagebuilder/long_name.h"

namespace brovane::imagebuilder {

namespace {

constexpr std::uint8_t kDirectoryAttribute = 0x10;

std::uint8_t DefaultAttributes(EntryKind kind) {
    switch (kind) {
        case EntryKind::File:
            return 0x20;
        case EntryKind::Directory:
            return kDirectoryAttribute;
        case EntryKind::VolumeLabel:
            return 0x08;
    }
    return 0;
}

std::uint32_t FirstCluster(const std::vector<std::uint32_t>& chain) {
    return chain.empty() ? 0 : chain.front();
}

void Append(std::vector<std::uint8_t>& data, const RawEntry& entry) {
    data.insert(data.end(), entry.begin(), entry.end());
}

ShortEntry MakeShortEntry(const EntryDescription& item, const ShortName& name,
                          const std::vector<std::uint32_t>& chain) {
    ShortEntry entry{name, item.attributes.value_or(DefaultAttributes(item.kind)), item.stamp,
                     item.firstClusterOverride.value_or(FirstCluster(chain)),
                     item.sizeOverride.value_or(item.kind == EntryKind::File
                                                    ? static_cast<std::uint32_t>(item.data.size())
                                                    : 0)};
    if (item.deleted) {
        entry.name[0] = kDeletedMark;
    }
    return entry;
}

void AppendDescribedEntry(std::vector<std::uint8_t>& data, const FatVolume& volume,
                          const VolumePlan& plan, const ClusterPlan& clusters, std::size_t index) {
    const EntryDescription& item = volume.entries[index];
    for (RawEntry slot :
         LongNameSlots(plan.longNames[index], ShortNameChecksum(plan.names[index]))) {
        if (item.deleted && item.longNameDeleted) {
            slot[0] = kDeletedMark;
        }
        Append(data, slot);
    }
    Append(data, EncodeShortEntry(MakeShortEntry(item, plan.names[index], clusters.chains[index])));
}

// "." names the directory itself, ".." its parent (cluster 0 for the root).
void AppendDotEntries(std::vector<std::uint8_t>& data, const FatVolume& volume,
                      const VolumePlan& plan, const ClusterPlan& clusters, std::size_t directory) {
    const PlannedDirectory& self = plan.directories[directory];
    const PlannedDirectory& parent = plan.directories[self.parent];
    const DosStamp stamp = volume.entries[*self.item].stamp;
    const std::uint32_t parentCluster =
        parent.item ? FirstCluster(clusters.chains[*parent.item]) : 0;
    ShortEntry dot{{}, kDirectoryAttribute, stamp, FirstCluster(clusters.chains[*self.item]), 0};
    std::string error;
    ParseShortName(".", dot.name, error);
    Append(data, EncodeShortEntry(dot));
    ShortEntry dotDot{{}, kDirectoryAttribute, stamp, parentCluster, 0};
    ParseShortName("..", dotDot.name, error);
    Append(data, EncodeShortEntry(dotDot));
}

}  // namespace

std::vector<std::uint8_t> EncodeDirectoryData(const FatVolume& volume, const VolumePlan& plan,
                                              const ClusterPlan& clusters, std::size_t directory) {
    std::vector<std::uint8_t> data;
    if (directory != 0) {
        AppendDotEntries(data, volume, plan, clusters, directory);
    }
    for (const std::size_t child : plan.directories[directory].children) {
        AppendDescribedEntry(data, volume, plan, clusters, child);
    }
    return data;
}

}  // namespace brovane::imagebuilder

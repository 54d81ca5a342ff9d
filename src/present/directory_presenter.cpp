#include "present/directory_presenter.h"

#include "screen/messages.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>

#include "disk/sector_run.h"
#include "disk/sector_transfer.h"
#include "format/directory_entry.h"
#include "present/list_pane.h"
#include "tree/item_run.h"
#include "tree/item_volume.h"
#include "volume/chain_data.h"

namespace brovane {

namespace {

constexpr std::array kColumns{
    ColumnLayout{"MS-DOS Name", 100},
    ColumnLayout{"Long File Name", 200},
    ColumnLayout{"Starting Cluster", 100},
    ColumnLayout{"Attributes", 75},
    ColumnLayout{"Size", 75},
    ColumnLayout{"Modified Date", 125},
    ColumnLayout{"Created Date", 125},
    ColumnLayout{"Accessed Date", 125},
};

enum class DotEntries { Listed, Skipped };

// The first bytes of a block, as many as it holds of the count asked for.
ByteSpan LeadingBytes(const PlatformBlock& block, std::uint64_t bytes) {
    return SubSpan(block.bytes(), 0,
                   static_cast<std::size_t>(std::min<std::uint64_t>(bytes, block.size())));
}

ByteSpan DirectorySectors(const RightPaneState& pane, std::uint32_t sectors) {
    return LeadingBytes(pane.currentBuffer, std::uint64_t{sectors} * kSectorBytes);
}

// The listing walk: long-name slots are skipped before the end mark is
// looked at, so a slot whose first byte is 0 does not end the directory.
void ListEntries(ScreenOperations& screen, DirectoryRowStore& store, ByteSpan data,
                 std::uint16_t fatType, DotEntries dots) {
    const std::size_t entries = DirectoryEntryCount(data);
    int row = 0;
    for (std::size_t index = 0; index < entries; ++index) {
        const DirectoryEntry entry = ReadDirectoryEntry(data, index);
        if (IsLongNameSlot(entry)) {
            continue;
        }
        if (IsEndOfDirectory(entry)) {
            break;
        }
        if (dots == DotEntries::Skipped && IsDotEntry(entry)) {
            continue;
        }
        std::optional<std::uintptr_t> stored =
            AppendDirectoryRow(store, MakeDirectoryRow(entry, fatType), data, index);
        if (!stored) {
            break;
        }
        screen.InsertCallbackListItem(row++, *stored);
    }
}

// True when every sector arrived. The read never runs past the buffer.
bool ReadRootSectors(const PlatformDiskScreen& io, RightPaneState& pane, const TreeItemInfo& item) {
    if (std::uint64_t{item.sectorCount} * kSectorBytes > pane.currentBuffer.size()) {
        return false;
    }
    return ReadSectors(io, ItemRun(item), pane.currentBuffer.data());
}

// An early end leaves an empty pane: the rows of the earlier view would
// refer to the store and buffer the dispatch has released.
void EndEarly(ScreenOperations& screen, std::string_view message) {
    ClearListPane(screen);
    if (!message.empty()) {
        screen.Notify(message);
    }
}

void ShowSectorPosition(ScreenOperations& screen, std::uint32_t sector) {
    std::array<char, 64> text;
    std::snprintf(text.data(), text.size(), "Current Sector Number: %lu",
                  static_cast<unsigned long>(sector));
    screen.SetStatusText(kPositionPane, text.data());
}

// The cluster at currentIndex and its first sector, counted from the volume
// as the position has always been shown (32-bit arithmetic).
void ShowClusterPosition(ScreenOperations& screen, const TreeItemInfo& listing,
                         std::span<const std::uint32_t> chain, std::uint32_t currentIndex) {
    const std::uint32_t cluster = chain[currentIndex < chain.size() ? currentIndex : 0];
    const std::uint32_t sector =
        listing.relativeSector + (cluster - 2u) * std::uint32_t{listing.sectorsPerCluster};
    std::array<char, 96> text;
    std::snprintf(text.data(), text.size(),
                  "Current Cluster Number: 0x%08X, Current Sector Number: %lu", cluster,
                  static_cast<unsigned long>(sector));
    screen.SetStatusText(kPositionPane, text.data());
}

// Says why the chain's data could not be had and leaves the pane empty;
// true when it is there, if only from what the reads left.
bool SayChainData(ScreenOperations& screen, ChainDataRead read) {
    switch (read) {
        case ChainDataRead::kNoMemory:
            EndEarly(screen, kNoBufferText);
            return false;
        case ChainDataRead::kPartlyRead:
            screen.Notify(kSubDirectoryNotFullyLoadedText);
            break;
        case ChainDataRead::kRead:
            break;
    }
    return true;
}

}  // namespace

void ShowRootDirectory(const PlatformDiskScreen& io, RightPaneState& pane,
                       const TreeItemInfo& item) {
    ResetListPane(io.screen);
    pane.viewMode = VM_ROOT_DIR;
    InsertColumns(io.screen, kColumns);
    if (!ReadRootSectors(io, pane, item)) {
        io.screen.Notify(kRootNotFullyAccessibleText);
    }
    if (!MakeDirectoryRowStore(io.platform, pane.directoryRows, item.sectorCount)) {
        io.screen.Notify(kNoListingMemoryText);
        return;
    }
    ListEntries(io.screen, pane.directoryRows, DirectorySectors(pane, item.sectorCount),
                item.fatType, DotEntries::Listed);
    ShowSectorPosition(io.screen, item.relativeSector);
}

void ShowSubDirectory(const PlatformDiskScreen& io, RightPaneState& pane,
                      const TreeItemInfo& item) {
    const VolumeGeometry volume = VolumeOf(item);
    ClusterChain chain;
    switch (LoadClusterChain(io, volume, item.firstCluster, pane.currentBuffer, chain)) {
        case ChainLoad::kFatUnreadable:
            EndEarly(io.screen, kFatNotAccessibleText);
            return;
        case ChainLoad::kNoChain:
            EndEarly(io.screen, {});
            return;
        case ChainLoad::kNoMemory:
            EndEarly(io.screen, kNoFatEntriesBufferText);
            return;
        case ChainLoad::kListed:
            break;
    }
    if (!SayChainData(io.screen, ReadChainData(io, volume, chain, pane.currentBuffer))) {
        return;
    }
    TreeItemInfo listing = item;
    // The buffer holds these sectors, so the count fits in 32 bits.
    listing.sectorCount =
        static_cast<std::uint32_t>(std::uint64_t{item.sectorsPerCluster} * chain.Length());
    ListDirectoryEntries(io.platform, io.screen, pane, listing);
    ShowClusterPosition(io.screen, listing, chain.Clusters(), pane.currentIndex);
}

void ListDirectoryEntries(Platform& platform, ScreenOperations& screen, RightPaneState& pane,
                          const TreeItemInfo& listing) {
    ResetListPane(screen);
    pane.viewMode = VM_SUBDIRECTORY;
    InsertColumns(screen, kColumns);
    if (!MakeDirectoryRowStore(platform, pane.directoryRows, listing.sectorCount)) {
        screen.Notify(kNoListingMemoryText);
        return;
    }
    ListEntries(screen, pane.directoryRows, DirectorySectors(pane, listing.sectorCount),
                listing.fatType, DotEntries::Skipped);
    screen.SetStatusText(kProgressPane, "");
}

}  // namespace brovane

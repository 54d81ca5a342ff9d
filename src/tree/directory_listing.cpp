#include "tree/directory_listing.h"

#include "screen/messages.h"

#include "disk/sector_transfer.h"
#include "tree/directory_children.h"
#include "tree/item_run.h"
#include "tree/item_volume.h"
#include "volume/chain_data.h"
#include "volume/fat_image.h"
#include "volume/volume_blocks.h"

namespace brovane {

bool ListRootDirectory(const PlatformDiskScreen& io, ItemStorage& items, TreeItemHandle item,
                       const TreeItemInfo& directory) {
    PlatformBlock data =
        AllocateVolumeSectors(io.platform, VolumeOf(directory), directory.sectorCount);
    if (!data) {
        io.screen.Notify(kNoRootBufferText);
        return false;
    }
    // Unreadable sectors come back as 0xE5 bytes, so they list as deleted.
    if (!ReadSectors(io, ItemRun(directory), data.data())) {
        io.screen.Notify(kRootNotFullyAccessibleText);
    }
    ChildInsertion insertion{io, items, item};
    return AddDirectoryChildren(insertion, directory, data.bytes(), DirectoryHolder::FixedRoot);
}

namespace {

// Says why the chain could not be listed; true for a chain of no clusters.
bool SayChainLoad(ScreenOperations& screen, ChainLoad load) {
    switch (load) {
        case ChainLoad::kFatUnreadable:
            screen.Notify(kFatNotAccessibleText);
            return false;
        case ChainLoad::kNoMemory:
            screen.Notify(kNoFatEntriesBufferCapitalText);
            return false;
        case ChainLoad::kNoChain:
        case ChainLoad::kListed:
            break;
    }
    return true;
}

}  // namespace

bool ListChainDirectory(const PlatformDiskScreen& io, ItemStorage& items, TreeItemHandle item,
                        const TreeItemInfo& directory) {
    const VolumeGeometry volume = VolumeOf(directory);
    PlatformBlock block = AllocateFatImage(io.platform, volume);
    if (!block) {
        io.screen.Notify(kNoFatBufferText);
        return false;
    }
    ClusterChain chain;
    const ChainLoad load = LoadClusterChain(io, volume, directory.firstCluster, block, chain);
    if (load != ChainLoad::kListed) {
        return SayChainLoad(io.screen, load);
    }
    switch (ReadChainData(io, volume, chain, block)) {
        case ChainDataRead::kNoMemory:
            io.screen.Notify(kNoBufferOneSpaceCapitalText);
            return false;
        case ChainDataRead::kPartlyRead:
            io.screen.Notify(kSubDirectoryNotLoadedText);
            return false;
        case ChainDataRead::kRead:
            break;
    }
    ChildInsertion insertion{io, items, item};
    return AddDirectoryChildren(insertion, directory, block.bytes(), DirectoryHolder::ClusterChain);
}

}  // namespace brovane

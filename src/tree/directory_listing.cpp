#include "tree/directory_listing.h"

#include <cstdint>
#include <span>

#include "disk/drive_size.h"
#include "disk/memory_blocks.h"
#include "disk/sector_transfer.h"
#include "format/fat_chain.h"
#include "platform/platform_block.h"
#include "tree/cluster_run.h"
#include "tree/directory_children.h"
#include "tree/fat_read.h"
#include "tree/item_run.h"

namespace brovane {

namespace {

// A zero-filled block for sectors of directory data starting at the
// directory's relativeSector; empty when they would run past the volume,
// are more than the drive holds, or the memory cannot be had. No sectors
// give a valid block of 0 bytes.
PlatformBlock AllocateDirectoryData(Platform& platform, const TreeItemInfo& directory,
                                    std::uint64_t sectors) {
    if ((directory.volumeSectors != 0 &&
         directory.relativeSector + sectors > directory.volumeSectors) ||
        !FitsOnDrive(platform, directory.driveNumber, sectors)) {
        return {};
    }
    if (sectors == 0) {
        return PlatformBlock::Allocate(platform, 0);
    }
    return AllocateSectors(platform, sectors);
}

// The cluster list of the chain, in chain order; an empty block when it
// cannot be had.
PlatformBlock ListDirectoryChain(Platform& platform, const TreeItemInfo& directory,
                                 std::uint32_t length, const PlatformBlock& fat) {
    PlatformBlock list = PlatformBlock::Allocate(platform, std::size_t{length} * 4);
    if (list) {
        std::span<std::uint32_t> clusters(reinterpret_cast<std::uint32_t*>(list.data()), length);
        ListChain(directory.firstCluster, directory.fatType, clusters, fat.bytes());
    }
    return list;
}

}  // namespace

bool ListRootDirectory(const PlatformDiskScreen& io, ItemStorage& items, TreeItemHandle item,
                       const TreeItemInfo& directory) {
    PlatformBlock data = AllocateDirectoryData(io.platform, directory, directory.sectorCount);
    if (!data) {
        io.screen.Notify("Fatal Error!  Not able to allocate a Buffer for Root Directory!");
        return false;
    }
    // Unreadable sectors come back as 0xE5 bytes, so they list as deleted.
    if (!ReadSectors(io, ItemRun(directory), data.data())) {
        io.screen.Notify("Root Directory not fully accessible!");
    }
    ChildInsertion insertion{io, items, item};
    return AddDirectoryChildren(insertion, directory, data.bytes(), DirectoryHolder::FixedRoot);
}

bool ListChainDirectory(const PlatformDiskScreen& io, ItemStorage& items, TreeItemHandle item,
                        const TreeItemInfo& directory) {
    ScreenOperations& screen = io.screen;
    PlatformBlock fat = AllocateFatImage(io.platform, directory);
    if (!fat) {
        screen.Notify("Fatal Error!  Not able to allocate a Buffer For FAT!");
        return false;
    }
    if (!ReadFatCopy(io, directory, fat)) {
        screen.Notify("FAT not accessible!");
        return false;
    }
    const std::uint32_t length =
        ChainLength(directory.firstCluster, directory.fatType, fat.bytes());
    if (length == 0) {
        return true;
    }
    PlatformBlock chain = ListDirectoryChain(io.platform, directory, length, fat);
    if (!chain) {
        screen.Notify("Fatal Error!  Not able to allocate a Buffer for FAT Entries!");
        return false;
    }
    fat.Release();
    PlatformBlock data = AllocateDirectoryData(io.platform, directory,
                                               std::uint64_t{length} * directory.sectorsPerCluster);
    if (!data) {
        screen.Notify("Fatal Error! Not able to allocate a Buffer!");
        return false;
    }
    std::span<const std::uint32_t> clusters(reinterpret_cast<const std::uint32_t*>(chain.data()),
                                            length);
    if (!ReadClusterRun(io, clusters, directory, data.bytes())) {
        screen.Notify("Not able to load the sub-directory");
        return false;
    }
    ChildInsertion insertion{io, items, item};
    return AddDirectoryChildren(insertion, directory, data.bytes(), DirectoryHolder::ClusterChain);
}

}  // namespace brovane

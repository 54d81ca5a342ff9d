#include "volume/chain_data.h"

#include "volume/cluster_run.h"
#include "volume/fat_image.h"
#include "volume/volume_blocks.h"

namespace brovane {

ChainLoad LoadClusterChain(const PlatformDiskScreen& io, const VolumeGeometry& volume,
                           std::uint32_t firstCluster, PlatformBlock& fat, ClusterChain& chain) {
    chain.Release();
    if (!ReadFat(io, volume, fat)) {
        return ChainLoad::kFatUnreadable;
    }
    std::optional<ClusterChain> listed =
        ListClusterChain(io.platform, firstCluster, volume.fatType, FatBytes(volume, fat));
    if (!listed) {
        return ChainLoad::kNoMemory;
    }
    if (listed->Length() == 0) {
        return ChainLoad::kNoChain;
    }
    chain = std::move(*listed);
    return ChainLoad::kListed;
}

ChainDataRead ReadChainData(const PlatformDiskScreen& io, const VolumeGeometry& volume,
                            const ClusterChain& chain, PlatformBlock& block) {
    block.Release();
    block = AllocateVolumeSectors(io.platform, volume,
                                  std::uint64_t{volume.sectorsPerCluster} * chain.Length());
    if (!block) {
        return ChainDataRead::kNoMemory;
    }
    return ReadClusterRun(io, volume, chain.Clusters(), block.bytes()) ? ChainDataRead::kRead
                                                                       : ChainDataRead::kPartlyRead;
}

}  // namespace brovane

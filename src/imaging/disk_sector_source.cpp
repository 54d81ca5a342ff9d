#include "imaging/disk_sector_source.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "disk/sector_transfer.h"
#include "platform/disk_units.h"

namespace brovane {

namespace {

constexpr std::uint32_t kRunSectors = 2048;

}  // namespace

DiskSectorSource::DiskSectorSource(Platform& platform, DiskAccess& disk, const SectorRun& origin,
                                   std::uint64_t sectors, const CancelFlag* cancel)
    : platform_(platform), disk_(disk), origin_(origin), sectors_(sectors), cancel_(cancel) {}

std::uint32_t DiskSectorSource::ReadRun(std::uint64_t first, std::uint32_t count,
                                        std::uint8_t* out) {
    std::vector<std::uint8_t> unread(count);
    SectorRun run = origin_;
    run.relativeSector = static_cast<std::uint32_t>(origin_.relativeSector + first);
    run.sectorCount = count;
    ReadSectorsNotingUnread(platform_, disk_, run, out, unread);
    const auto reached = static_cast<std::uint32_t>(
        std::find(unread.begin(), unread.end(), kSectorNotReached) - unread.begin());
    for (std::uint32_t i = 0; i < std::max<std::uint32_t>(reached, 1); ++i) {
        if (unread[i] != 0) {
            unread_.insert(first + i);
            std::memset(out + std::size_t{i} * kSectorBytes, 0, kSectorBytes);
        }
    }
    return std::max<std::uint32_t>(reached, 1);
}

void DiskSectorSource::Read(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    const std::uint64_t end =
        std::min<std::uint64_t>({first + count, sectors_, first + out.size() / kSectorBytes,
                                 std::uint64_t{UINT32_MAX} + 1 - origin_.relativeSector});
    for (std::uint64_t sector = first; sector < end;) {
        const auto piece =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(end - sector, kRunSectors));
        sector += ReadRun(sector, piece, out.data() + (sector - first) * kSectorBytes);
    }
    for (std::uint64_t sector = std::max(end, first); sector < first + count; ++sector) {
        unread_.insert(sector);  // past the end: nothing there was read
    }
}

std::uint64_t DiskSectorSource::UnreadIn(std::uint64_t first, std::uint64_t count) const {
    return static_cast<std::uint64_t>(
        std::distance(unread_.lower_bound(first), unread_.lower_bound(first + count)));
}

}  // namespace brovane

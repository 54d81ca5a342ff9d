// A drive's sectors as a structure walk or a copy-out reads them: counted
// from an origin, read through the disk layer's uncached transfer in runs
// of at most 1 MiB (one sector at a time inside a run that failed), with
// each sector that could not be read noted and given as zeros.
#pragma once

#include <cstdint>
#include <set>
#include <span>

#include "disk/disk_access.h"
#include "disk/sector_run.h"
#include "imaging/structure_walk.h"
#include "platform/platform.h"
#include "screen/long_work.h"

namespace brovane {

class DiskSectorSource : public SectorSource {
  public:
    // The cancel flag, when given, is what Stopped answers.
    DiskSectorSource(Platform& platform, DiskAccess& disk, const SectorRun& origin,
                     std::uint64_t sectors, const CancelFlag* cancel = nullptr);

    std::uint64_t Sectors() const override { return sectors_; }
    void Read(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) override;
    bool IsReadable(std::uint64_t sector) override { return !unread_.contains(sector); }
    bool Stopped() override { return cancel_ != nullptr && cancel_->load(); }
    // How many sectors of [first, first + count) were not read well.
    std::uint64_t UnreadIn(std::uint64_t first, std::uint64_t count) const;

  private:
    // Reads up to one run at `first` into `out`; answers the sectors it came to.
    std::uint32_t ReadRun(std::uint64_t first, std::uint32_t count, std::uint8_t* out);

    Platform& platform_;
    DiskAccess& disk_;
    SectorRun origin_;
    std::uint64_t sectors_;
    const CancelFlag* cancel_;
    std::set<std::uint64_t> unread_;
};

}  // namespace brovane

#include "imaging/image_copier.h"

#include <algorithm>
#include <cstring>

#include "disk/sector_transfer.h"
#include "platform/disk_units.h"

namespace brovane {

std::uint64_t UnfinishedSectors(const std::vector<RescueBlock>& blocks, std::uint64_t sectors) {
    std::uint64_t count = 0;
    for (std::uint64_t from = 0; auto span = NextUnfinished(blocks, from, sectors);) {
        count += span->count;
        from = span->first + span->count;
    }
    return count;
}

ImageCopier::ImageCopier(const CopySource& source, DeviceHandle image, RescueMap map,
                         std::string mapPath, std::chrono::milliseconds mapInterval,
                         const ProgressReport& report, const CancelFlag& cancel)
    : source_(source),
      image_(image),
      map_(std::move(map)),
      mapPath_(std::move(mapPath)),
      mapInterval_(mapInterval),
      report_(report),
      cancel_(cancel),
      buffer_(
          PlatformBlock::Allocate(source.platform, std::size_t{kCopyRunSectors} * kSectorBytes)),
      unread_(kCopyRunSectors),
      untried_(kCopyRunSectors),
      lastSave_(std::chrono::steady_clock::now()) {
    if (!buffer_) {
        stop_ = CopyStop::kNoMemory;
    }
    progress_.total = UnfinishedSectors(map_.blocks, source_.sectors);
}

bool ImageCopier::Stopped() {
    if (stop_ == CopyStop::kNone && cancel_.load()) {
        stop_ = CopyStop::kCancelled;
    }
    return stop_ != CopyStop::kNone;
}

std::uint64_t ImageCopier::BadSectors() const {
    std::uint64_t bad = 0;
    for (const RescueBlock& block : map_.blocks) {
        if (block.status == BlockStatus::kBad) {
            bad += (block.End() + kSectorBytes - 1) / kSectorBytes - block.pos / kSectorBytes;
        }
    }
    return bad;
}

void ImageCopier::Copy(SectorSpan sectors) {
    const std::uint64_t to = std::min(source_.sectors, sectors.first + sectors.count);
    std::uint64_t from = std::min(sectors.first, to);
    while (!Stopped()) {
        const auto unfinished = NextUnfinished(map_.blocks, from, to);
        if (!unfinished) {
            return;
        }
        // A sector this copy tried already is not read again.
        const auto span =
            NextUnfinished(tried_, unfinished->first, unfinished->first + unfinished->count);
        if (!span) {
            from = unfinished->first + unfinished->count;
            continue;
        }
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(span->count, kCopyRunSectors));
        from = span->first + CopyRun(span->first, count);
        SaveMapWhenDue();
    }
}

std::uint32_t ImageCopier::CopyRun(std::uint64_t first, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        untried_[i] = IsSectorUntried(map_.blocks, first + i) ? 1 : 0;
    }
    SectorRun run = source_.origin;
    run.relativeSector = static_cast<std::uint32_t>(source_.origin.relativeSector + first);
    run.sectorCount = count;
    ReadSectorsNotingUnread(source_.platform, source_.disk, run, buffer_.data(),
                            std::span(unread_).first(count));
    const auto reached = static_cast<std::uint32_t>(
        std::find(unread_.begin(), unread_.begin() + count, kSectorNotReached) - unread_.begin());
    if (!StoreRun(first, reached)) {
        return reached;
    }
    MarkRun(first, reached);
    MarkRange(tried_, first * kSectorBytes, std::uint64_t{reached} * kSectorBytes,
              BlockStatus::kFinished);
    map_.currentPos = (first + reached) * kSectorBytes;
    progress_.done += reached;
    progress_.bad += static_cast<std::uint64_t>(
        std::count(unread_.begin(), unread_.begin() + reached, kSectorFailed));
    report_(progress_);
    return reached;
}

// Writes the sectors read, and zeros for each failed sector nobody tried
// before (a sector tried before keeps what the image holds for it). False,
// and the copy stopped, when the image does not take every byte.
bool ImageCopier::StoreRun(std::uint64_t first, std::uint32_t count) {
    std::uint32_t i = 0;
    while (i < count) {
        auto written = [&](std::uint32_t n) { return unread_[n] == 0 || untried_[n] != 0; };
        if (!written(i)) {
            ++i;
            continue;
        }
        std::uint32_t end = i;
        for (; end < count && written(end); ++end) {
            if (unread_[end] != 0) {
                std::memset(buffer_.data() + std::size_t{end} * kSectorBytes, 0, kSectorBytes);
            }
        }
        const std::uint32_t bytes = (end - i) * kSectorBytes;
        if (source_.platform.WriteHostFile(image_, (first + i) * kSectorBytes,
                                           buffer_.data() + std::size_t{i} * kSectorBytes,
                                           bytes) != bytes) {
            stop_ = CopyStop::kImageUnwritable;
            return false;
        }
        i = end;
    }
    return true;
}

void ImageCopier::MarkRun(std::uint64_t first, std::uint32_t count) {
    std::uint32_t i = 0;
    while (i < count) {
        const bool bad = unread_[i] != 0;
        std::uint32_t end = i + 1;
        while (end < count && (unread_[end] != 0) == bad) {
            ++end;
        }
        const SectorSpan span{first + i, end - i};
        if (bad) {
            MarkUnfinished(map_.blocks, span, BlockStatus::kBad);
        } else {
            MarkRange(map_.blocks, span.first * kSectorBytes, span.count * kSectorBytes,
                      BlockStatus::kFinished);
        }
        i = end;
    }
}

void ImageCopier::SaveMapWhenDue() {
    if (std::chrono::steady_clock::now() - lastSave_ >= mapInterval_) {
        SaveMap(false);
    }
}

bool ImageCopier::SaveMap(bool finished) {
    lastSave_ = std::chrono::steady_clock::now();
    if (!source_.platform.FlushHostFile(image_)) {
        stop_ = CopyStop::kImageUnwritable;
        return false;
    }
    map_.currentStatus = finished ? '+' : '?';
    if (!SaveRescueMap(source_.platform, mapPath_, map_)) {
        stop_ = CopyStop::kMapUnwritable;
        return false;
    }
    return true;
}

void ImageCopier::Read(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    if (first >= source_.sectors) {
        return;
    }
    count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, source_.sectors - first));
    Copy({first, count});
    const auto bytes = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(std::uint64_t{count} * kSectorBytes, out.size()));
    source_.platform.ReadHostFile(image_, first * kSectorBytes, out.data(), bytes);
}

bool ImageCopier::IsReadable(std::uint64_t sector) {
    return IsSectorFinished(map_.blocks, sector);
}

}  // namespace brovane

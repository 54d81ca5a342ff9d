#include "imaging/copy_out.h"

#include <algorithm>

#include "platform/disk_units.h"
#include "platform/platform_block.h"

namespace brovane {

namespace {

constexpr std::uint64_t kLongestRead = 2048;  // sectors
// Complete files wait under their temporary names until this many files or
// bytes are written; then one flush of the host file system makes them all
// stable and they are renamed. One flush per file would cost more than the
// copying of small files.
constexpr std::size_t kFilesPerFlush = 1000;
constexpr std::uint64_t kBytesPerFlush = 16 << 20;

class PlanWriter {
  public:
    PlanWriter(Platform& platform, DiskSectorSource& source, const CopyOutPlan& plan,
               std::string destination, const CopiedSink& sink, const ProgressReport& report,
               const CancelFlag& cancel)
        : platform_(platform),
          source_(source),
          plan_(plan),
          destination_(std::move(destination)),
          sink_(sink),
          report_(report),
          cancel_(cancel),
          buffer_(PlatformBlock::Allocate(platform, kLongestRead * kSectorBytes)) {
        progress_.total = (plan.bytes + kSectorBytes - 1) / kSectorBytes;
        progress_.filesTotal = plan.files;
    }

    CopyOutResult Run();

  private:
    std::string HostPath(const PlannedItem& item) const { return destination_ + "/" + item.path; }
    std::uint64_t ClusterSectors() const { return plan_.volume.layout.sectorsPerCluster; }
    bool Stop(CopyOutStop why, const std::string& path = {}) {
        if (result_.stop == CopyOutStop::kNone) {  // the first reason is the one told
            result_.stop = why;
            result_.failedPath = path;
        }
        return false;
    }
    bool WriteFolder(const PlannedItem& item);
    bool WriteFile(std::size_t index);
    // The bytes of `sectors` sectors from `first`, which are the clusters of
    // item `index` up to `next`: read together with the clusters the plan
    // reads next where they follow on the disk (small files one after the
    // other), or taken from what such a read brought.
    const std::uint8_t* Fetch(std::uint64_t first, std::uint64_t sectors, std::size_t index,
                              std::size_t next);
    // How many sectors from `sector` on are clusters the plan reads next,
    // from item `index`'s cluster `next` on, within `room`.
    std::uint64_t SectorsReadNext(std::uint64_t sector, std::size_t index, std::size_t next,
                                  std::uint64_t room) const;
    // Flushes the files waiting, renames them and tells the sink of them and
    // of the folders met again between them, in order; false when that failed.
    bool CommitWaiting();
    void Commit(const CopiedItem& file);
    // Writes the file's clusters into the open file; false when stopped.
    bool WriteClusters(std::size_t index, DeviceHandle file, std::uint64_t& written,
                       bool& incomplete);
    void Report(std::uint64_t bytes) {
        progress_.done = (bytes + kSectorBytes - 1) / kSectorBytes;
        report_(progress_);
    }

    Platform& platform_;
    DiskSectorSource& source_;
    const CopyOutPlan& plan_;
    std::string destination_;
    const CopiedSink& sink_;
    const ProgressReport& report_;
    const CancelFlag& cancel_;
    PlatformBlock buffer_;
    WorkProgress progress_;
    CopyOutResult result_;
    std::vector<CopiedItem> waiting_;
    std::uint64_t waitingBytes_ = 0;
    std::uint64_t bytesRead_ = 0;    // into files, the one given up included
    std::uint64_t bufferFirst_ = 0;  // the sectors the buffer holds
    std::uint64_t bufferSectors_ = 0;
};

void PlanWriter::Commit(const CopiedItem& file) {
    if (file.how == CopiedHow::kLoop) {
        sink_(file);
        return;
    }
    const std::string path = HostPath(file.item);
    if (!platform_.MoveHostFile(PartPathOfCopy(path), path)) {
        platform_.RemoveHostFile(PartPathOfCopy(path));
        Stop(CopyOutStop::kUnwritable, path);
        return;
    }
    if (file.item.time) {
        platform_.SetHostFileTime(path, *file.item.time);
    }
    ++result_.files;
    result_.bytes += file.bytes;
    sink_(file);
}

bool PlanWriter::CommitWaiting() {
    const bool flushed = waiting_.empty() || platform_.FlushHostFileSystem(destination_);
    if (!flushed) {
        Stop(CopyOutStop::kUnwritable, destination_);
    }
    for (const CopiedItem& file : waiting_) {
        if (flushed) {
            Commit(file);
        } else {
            platform_.RemoveHostFile(PartPathOfCopy(HostPath(file.item)));
        }
    }
    waiting_.clear();
    waitingBytes_ = 0;
    return result_.stop == CopyOutStop::kNone;
}

bool PlanWriter::WriteFolder(const PlannedItem& item) {
    if (!platform_.CreateHostFolder(HostPath(item))) {
        return Stop(CopyOutStop::kUnwritable, HostPath(item));
    }
    ++result_.folders;
    return true;
}

std::uint64_t PlanWriter::SectorsReadNext(std::uint64_t sector, std::size_t index, std::size_t next,
                                          std::uint64_t room) const {
    constexpr std::size_t kItemsLookedAt = 4096;  // empty files and folders between
    std::uint64_t sectors = 0;
    for (std::size_t end = std::min(plan_.items.size(), index + kItemsLookedAt); index < end;
         ++index, next = 0) {
        const std::vector<std::uint32_t>& clusters = plan_.items[index].clusters;
        for (; next < clusters.size(); ++next) {
            const auto start = ClusterStart(plan_.volume, clusters[next]);
            if (!start || *start != sector + sectors || sectors + ClusterSectors() > room) {
                return sectors;
            }
            sectors += ClusterSectors();
        }
    }
    return sectors;
}

const std::uint8_t* PlanWriter::Fetch(std::uint64_t first, std::uint64_t sectors, std::size_t index,
                                      std::size_t next) {
    if (first < bufferFirst_ || first + sectors > bufferFirst_ + bufferSectors_) {
        bufferFirst_ = first;
        bufferSectors_ =
            sectors + SectorsReadNext(first + sectors, index, next, kLongestRead - sectors);
        source_.Read(first, static_cast<std::uint32_t>(bufferSectors_), buffer_.bytes());
    }
    return buffer_.data() + (first - bufferFirst_) * kSectorBytes;
}

bool PlanWriter::WriteClusters(std::size_t index, DeviceHandle file, std::uint64_t& written,
                               bool& incomplete) {
    const PlannedItem& item = plan_.items[index];
    const std::span<const std::uint32_t> clusters = item.clusters;
    for (std::size_t i = 0, n = 1; i < clusters.size() && written < item.size; i += n) {
        if (cancel_.load()) {
            return Stop(CopyOutStop::kCancelled);
        }
        // Clusters that follow one another on the disk are read as one.
        for (n = 1; i + n < clusters.size() && clusters[i + n] == clusters[i] + n &&
                    (n + 1) * ClusterSectors() <= kLongestRead;
             ++n) {
        }
        const std::uint64_t sectors = std::max<std::uint64_t>(n * ClusterSectors(), 1);
        const auto first = ClusterStart(plan_.volume, clusters[i]);
        const auto bytes = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(sectors * kSectorBytes, item.size - written));
        const std::uint8_t* data = buffer_.data();
        if (!first || sectors > kLongestRead) {
            std::fill_n(buffer_.data(), buffer_.size(), std::uint8_t{0});
            bufferSectors_ = 0;
            incomplete = true;
        } else {
            data = Fetch(*first, sectors, index, i + n);
            incomplete = incomplete ||
                         source_.UnreadIn(*first, (bytes + kSectorBytes - 1) / kSectorBytes) != 0;
        }
        if (platform_.WriteHostFile(file, written, data, bytes) != bytes) {
            return Stop(CopyOutStop::kUnwritable, HostPath(item));
        }
        written += bytes;
        bytesRead_ += bytes;
        Report(bytesRead_);
    }
    return true;
}

bool PlanWriter::WriteFile(std::size_t index) {
    const PlannedItem& item = plan_.items[index];
    const std::string path = HostPath(item);
    const std::string part = PartPathOfCopy(path);
    progress_.current = item.path;
    Report(bytesRead_);
    const DeviceHandle file = platform_.CreateHostFile(part);
    if (file == kInvalidHandle) {
        return Stop(CopyOutStop::kUnwritable, path);
    }
    std::uint64_t written = 0;
    bool incomplete = false;
    const bool done = WriteClusters(index, file, written, incomplete);
    platform_.CloseHostFile(file);
    if (!done) {
        platform_.RemoveHostFile(part);
        return false;
    }
    ++progress_.filesDone;
    incomplete = incomplete || written < item.size;
    waiting_.push_back({item,
                        item.guessed ? CopiedHow::kGuessed
                                     : (incomplete ? CopiedHow::kIncomplete : CopiedHow::kCopied),
                        written});
    waitingBytes_ += written;
    return (waiting_.size() < kFilesPerFlush && waitingBytes_ < kBytesPerFlush) || CommitWaiting();
}

CopyOutResult PlanWriter::Run() {
    if (!buffer_) {
        Stop(CopyOutStop::kNoMemory);
        return result_;
    }
    for (std::size_t index = 0; index < plan_.items.size(); ++index) {
        const PlannedItem& item = plan_.items[index];
        if (cancel_.load()) {
            Stop(CopyOutStop::kCancelled);
            break;
        }
        const bool going = item.kind == PlannedKind::kFolder ? WriteFolder(item)
                           : item.kind == PlannedKind::kFile
                               ? WriteFile(index)
                               : (waiting_.push_back({item, CopiedHow::kLoop, 0}), true);
        if (!going) {
            break;
        }
    }
    // The files complete when the copy stopped are kept too.
    CommitWaiting();
    // Folders take their times once nothing more is written into them.
    for (auto it = plan_.items.rbegin(); it != plan_.items.rend(); ++it) {
        if (it->kind == PlannedKind::kFolder && it->time &&
            platform_.HostFolderExists(HostPath(*it))) {
            platform_.SetHostFileTime(HostPath(*it), *it->time);
        }
    }
    if (!platform_.FlushHostFileSystem(destination_) && result_.stop == CopyOutStop::kNone) {
        Stop(CopyOutStop::kUnwritable, destination_);
    }
    return result_;
}

}  // namespace

std::string PartPathOfCopy(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, name) + ".~" + path.substr(name, 200) + ".part";
}

CopyOutResult RunCopyOut(Platform& platform, DiskSectorSource& source, const CopyOutPlan& plan,
                         const std::string& destination, const CopiedSink& sink,
                         const ProgressReport& report, const CancelFlag& cancel) {
    return PlanWriter(platform, source, plan, destination, sink, report, cancel).Run();
}

}  // namespace brovane

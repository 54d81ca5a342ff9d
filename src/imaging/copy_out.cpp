#include "imaging/copy_out.h"

#include <algorithm>

#include "platform/disk_units.h"
#include "platform/platform_block.h"

namespace brovane {

namespace {

constexpr std::uint64_t kLongestRead = 2048;  // sectors

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
        result_.stop = why;
        result_.failedPath = path;
        return false;
    }
    bool WriteFolder(const PlannedItem& item);
    bool WriteFile(const PlannedItem& item);
    // Writes the file's clusters into the open file; false when stopped.
    bool WriteClusters(const PlannedItem& item, DeviceHandle file, std::uint64_t& written,
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
};

bool PlanWriter::WriteFolder(const PlannedItem& item) {
    if (!platform_.CreateHostFolder(HostPath(item))) {
        return Stop(CopyOutStop::kUnwritable, HostPath(item));
    }
    ++result_.folders;
    return true;
}

bool PlanWriter::WriteClusters(const PlannedItem& item, DeviceHandle file, std::uint64_t& written,
                               bool& incomplete) {
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
        if (!first || sectors > kLongestRead) {
            std::fill_n(buffer_.data(), buffer_.size(), std::uint8_t{0});
            incomplete = true;
        } else {
            source_.Read(*first, static_cast<std::uint32_t>(sectors), buffer_.bytes());
            incomplete = incomplete ||
                         source_.UnreadIn(*first, (bytes + kSectorBytes - 1) / kSectorBytes) != 0;
        }
        if (platform_.WriteHostFile(file, written, buffer_.data(), bytes) != bytes) {
            return Stop(CopyOutStop::kUnwritable, HostPath(item));
        }
        written += bytes;
        result_.bytes += bytes;
        Report(result_.bytes);
    }
    return true;
}

bool PlanWriter::WriteFile(const PlannedItem& item) {
    const std::string path = HostPath(item);
    const std::string part = PartPathOfCopy(path);
    progress_.current = item.path;
    Report(result_.bytes);
    const DeviceHandle file = platform_.CreateHostFile(part);
    if (file == kInvalidHandle) {
        return Stop(CopyOutStop::kUnwritable, path);
    }
    std::uint64_t written = 0;
    bool incomplete = false;
    bool done = WriteClusters(item, file, written, incomplete);
    if (done && !platform_.FlushHostFile(file)) {
        done = Stop(CopyOutStop::kUnwritable, path);
    }
    platform_.CloseHostFile(file);
    if (done && !platform_.ReplaceHostFile(part, path)) {
        done = Stop(CopyOutStop::kUnwritable, path);
    }
    if (!done) {
        platform_.RemoveHostFile(part);
        return false;
    }
    if (item.time) {
        platform_.SetHostFileTime(path, *item.time);
    }
    ++result_.files;
    progress_.filesDone = result_.files;
    incomplete = incomplete || written < item.size;
    sink_({item,
           item.guessed ? CopiedHow::kGuessed
                        : (incomplete ? CopiedHow::kIncomplete : CopiedHow::kCopied),
           written});
    return true;
}

CopyOutResult PlanWriter::Run() {
    if (!buffer_) {
        Stop(CopyOutStop::kNoMemory);
        return result_;
    }
    for (const PlannedItem& item : plan_.items) {
        if (cancel_.load()) {
            Stop(CopyOutStop::kCancelled);
            break;
        }
        const bool going = item.kind == PlannedKind::kFolder ? WriteFolder(item)
                           : item.kind == PlannedKind::kFile
                               ? WriteFile(item)
                               : (sink_({item, CopiedHow::kLoop, 0}), true);
        if (!going) {
            break;
        }
    }
    // Folders take their times once nothing more is written into them.
    for (auto it = plan_.items.rbegin(); it != plan_.items.rend(); ++it) {
        if (it->kind == PlannedKind::kFolder && it->time &&
            platform_.HostFolderExists(HostPath(*it))) {
            platform_.SetHostFileTime(HostPath(*it), *it->time);
        }
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

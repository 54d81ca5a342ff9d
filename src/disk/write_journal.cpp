#include "disk/write_journal.h"

#include <algorithm>
#include <vector>

namespace brovane {

namespace {

constexpr std::uint32_t kReadPiece = 1 << 20;

// Makes each folder on the way to the file.
bool MakeFoldersFor(Platform& platform, const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (!platform.CreateHostFolder(path.substr(0, slash))) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> ReadAll(Platform& platform, DeviceHandle file) {
    std::vector<std::uint8_t> bytes;
    for (;;) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kReadPiece);
        const std::uint32_t got = platform.ReadHostFile(file, at, bytes.data() + at, kReadPiece);
        bytes.resize(at + got);
        if (got < kReadPiece) {
            return bytes;
        }
    }
}

// The journal opened (made when missing) and locked.
DeviceHandle OpenLocked(Platform& platform, const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "no place for the write journal is known (set HOME or use --journal)";
        return kInvalidHandle;
    }
    DeviceHandle file = platform.HostFileExists(path)    ? platform.OpenHostFile(path)
                        : MakeFoldersFor(platform, path) ? platform.CreateHostFile(path)
                                                         : kInvalidHandle;
    if (file == kInvalidHandle) {
        error = "the write journal " + path + " cannot be opened";
        return kInvalidHandle;
    }
    if (!platform.LockHostFile(file)) {
        platform.CloseHostFile(file);
        error = "the write journal " + path + " is locked by another program";
        return kInvalidHandle;
    }
    return file;
}

}  // namespace

std::optional<JournalScan> ReadWriteJournal(Platform& platform, std::string& error) {
    const std::string path = platform.JournalPath();
    if (!path.empty() && !platform.HostFileExists(path)) {
        return JournalScan{};
    }
    const DeviceHandle file = OpenLocked(platform, path, error);
    if (file == kInvalidHandle) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes = ReadAll(platform, file);
    platform.CloseHostFile(file);
    return DecodeJournal(bytes);
}

bool AppendToWriteJournal(Platform& platform, const JournalRecord& record, std::string& error) {
    const std::string path = platform.JournalPath();
    const DeviceHandle file = OpenLocked(platform, path, error);
    if (file == kInvalidHandle) {
        return false;
    }
    const std::size_t end = ReadAll(platform, file).size();
    const std::vector<std::uint8_t> bytes = EncodeJournalRecord(record);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const bool stored = platform.WriteHostFile(file, end, bytes.data(), size) == size &&
                        platform.FlushHostFile(file);
    platform.CloseHostFile(file);
    if (!stored) {
        error = "the write journal " + path + " cannot be written";
    }
    return stored;
}

std::uint64_t NextJournalSequence(const JournalScan& scan) {
    std::uint64_t last = 0;
    for (const JournalRecord& record : scan.records) {
        if (const auto* write = std::get_if<JournalWrite>(&record)) {
            last = std::max(last, write->sequence);
        }
    }
    return last + 1;
}

JournalDevice JournalDeviceOf(const DriveIdentity& identity) {
    return {identity.path, identity.sizeBytes, identity.deviceNumber, identity.inode,
            identity.blockDevice};
}

}  // namespace brovane

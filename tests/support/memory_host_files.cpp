#include "support/memory_host_files.h"

#include <algorithm>
#include <cstring>

namespace brovane {

namespace {

// The folder part of a path: "/" for a name in the root, empty for a bare name.
std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool MemoryHostFiles::Survives() {
    if (!crashed_ && crashAtOperation != 0 && ++operations_ == crashAtOperation) {
        Crash();
        crashed_ = true;
    }
    return !crashed_;
}

DeviceHandle MemoryHostFiles::Create(const std::string& path) {
    if (!Survives() || folders.contains(path)) {
        return kInvalidHandle;
    }
    StampFolderOf(path);
    MemoryHostFile& file = files[path];
    file.bytes.clear();
    file.time = now;
    open_[next_] = path;
    return next_++;
}

DeviceHandle MemoryHostFiles::Open(const std::string& path) {
    if (!Survives() || !Exists(path)) {
        return kInvalidHandle;
    }
    open_[next_] = path;
    return next_++;
}

MemoryHostFile* MemoryHostFiles::FileOf(DeviceHandle handle) {
    auto found = open_.find(handle);
    if (found == open_.end()) {
        return nullptr;
    }
    auto file = files.find(found->second);
    return file == files.end() ? nullptr : &file->second;
}

std::uint32_t MemoryHostFiles::Read(DeviceHandle handle, std::uint64_t offset, void* buffer,
                                    std::uint32_t bytes) {
    const MemoryHostFile* file = FileOf(handle);
    if (file == nullptr || offset >= file->bytes.size()) {
        return 0;
    }
    const auto moved =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, file->bytes.size() - offset));
    std::memcpy(buffer, file->bytes.data() + offset, moved);
    return moved;
}

std::uint32_t MemoryHostFiles::Write(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                                     std::uint32_t bytes) {
    MemoryHostFile* file = Survives() ? FileOf(handle) : nullptr;
    if (file == nullptr || offset >= capacity) {
        return 0;
    }
    const auto moved =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, capacity - offset));
    if (file->bytes.size() < offset + moved) {
        file->bytes.resize(offset + moved);
    }
    std::memcpy(file->bytes.data() + offset, buffer, moved);
    file->time = moved > 0 ? now : file->time;
    return moved;
}

bool MemoryHostFiles::Flush(DeviceHandle handle) {
    MemoryHostFile* file = Survives() ? FileOf(handle) : nullptr;
    if (file == nullptr || failFlushes) {
        return false;
    }
    file->stable = file->bytes;
    file->everStable = true;
    return true;
}

bool MemoryHostFiles::FlushAll() {
    if (!Survives() || failFlushes) {
        return false;
    }
    for (auto& [path, file] : files) {
        file.stable = file.bytes;
        file.everStable = true;
    }
    return true;
}

void MemoryHostFiles::Close(DeviceHandle handle) {
    open_.erase(handle);
}

bool MemoryHostFiles::Replace(const std::string& from, const std::string& to) {
    auto found = files.find(from);
    if (!Survives() || found == files.end()) {
        return false;
    }
    MemoryHostFile moved = std::move(found->second);
    moved.renamed = true;
    files.erase(found);
    files[to] = std::move(moved);
    StampFolderOf(from);
    StampFolderOf(to);
    for (auto& [handle, path] : open_) {
        path = path == from ? to : path;
    }
    return true;
}

bool MemoryHostFiles::Remove(const std::string& path) {
    if (!Survives() || files.erase(path) == 0) {
        return false;
    }
    StampFolderOf(path);
    return true;
}

void MemoryHostFiles::StampFolderOf(const std::string& path) {
    const auto folder = folders.find(ParentOf(path));
    if (folder != folders.end()) {
        folder->second = now;
    }
}

bool MemoryHostFiles::FolderExists(const std::string& path) const {
    return path == "/" || folders.contains(path);
}

bool MemoryHostFiles::CreateFolder(const std::string& path) {
    if (!Survives() || failFolderCreates || Exists(path)) {
        return false;
    }
    if (FolderExists(path)) {
        return true;
    }
    const std::string parent = ParentOf(path);
    if (!parent.empty() && !FolderExists(parent)) {
        return false;
    }
    folders[path] = now;
    StampFolderOf(path);
    return true;
}

bool MemoryHostFiles::SetTime(const std::string& path, std::int64_t secondsSinceEpoch) {
    if (!Survives()) {
        return false;
    }
    if (auto file = files.find(path); file != files.end()) {
        file->second.time = secondsSinceEpoch;
        return true;
    }
    if (auto folder = folders.find(path); folder != folders.end()) {
        folder->second = secondsSinceEpoch;
        return true;
    }
    return false;
}

std::optional<std::int64_t> MemoryHostFiles::Time(const std::string& path) const {
    if (auto file = files.find(path); file != files.end()) {
        return file->second.time;
    }
    if (auto folder = folders.find(path); folder != folders.end()) {
        return folder->second;
    }
    return std::nullopt;
}

bool MemoryHostFiles::OnDrive(const std::string& path, std::uint16_t driveNumber) const {
    const auto prefix = drivePrefixes.find(driveNumber);
    if (prefix == drivePrefixes.end() || (!Exists(path) && !FolderExists(path))) {
        return false;
    }
    const std::string& folder = prefix->second;
    return path == folder || path.starts_with(folder.ends_with('/') ? folder : folder + '/');
}

void MemoryHostFiles::Crash() {
    open_.clear();
    for (auto file = files.begin(); file != files.end();) {
        if (!file->second.everStable && !file->second.renamed) {
            file = files.erase(file);
            continue;
        }
        file->second.bytes = file->second.stable;
        ++file;
    }
}

}  // namespace brovane

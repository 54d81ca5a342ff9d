#include "support/memory_host_files.h"

#include <algorithm>
#include <cstring>

namespace brovane {

bool MemoryHostFiles::Survives() {
    if (!crashed_ && crashAtOperation != 0 && ++operations_ == crashAtOperation) {
        Crash();
        crashed_ = true;
    }
    return !crashed_;
}

DeviceHandle MemoryHostFiles::Create(const std::string& path) {
    if (!Survives()) {
        return kInvalidHandle;
    }
    files[path].bytes.clear();
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

void MemoryHostFiles::Close(DeviceHandle handle) {
    open_.erase(handle);
}

bool MemoryHostFiles::Replace(const std::string& from, const std::string& to) {
    auto found = files.find(from);
    if (!Survives() || found == files.end()) {
        return false;
    }
    MemoryHostFile moved = std::move(found->second);
    files.erase(found);
    files[to] = std::move(moved);
    for (auto& [handle, path] : open_) {
        path = path == from ? to : path;
    }
    return true;
}

void MemoryHostFiles::Crash() {
    open_.clear();
    for (auto file = files.begin(); file != files.end();) {
        if (!file->second.everStable) {
            file = files.erase(file);
            continue;
        }
        file->second.bytes = file->second.stable;
        ++file;
    }
}

}  // namespace brovane

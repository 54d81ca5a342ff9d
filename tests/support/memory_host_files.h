// The test double's host file system: files by path, each with the bytes a
// reader sees and the bytes a crash would leave (what the last flush made
// stable). A file never flushed is lost in a crash; a replace is stable at
// once, as the POSIX one flushes its folder.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/handle_table.h"
#include "platform/platform.h"

namespace brovane {

struct MemoryHostFile {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> stable;
    bool everStable = false;
};

class MemoryHostFiles {
  public:
    std::map<std::string, MemoryHostFile> files;
    // A full disk: no file grows past this many bytes.
    std::uint64_t capacity = UINT64_MAX;
    bool failFlushes = false;
    // The n-th create, open, write, flush, replace or remove (from 1) does
    // not happen: the host crashes in front of it (see Crash), and every
    // call after it fails. 0 for none.
    unsigned crashAtOperation = 0;

    DeviceHandle Create(const std::string& path);
    DeviceHandle Open(const std::string& path);
    std::uint32_t Read(DeviceHandle handle, std::uint64_t offset, void* buffer,
                       std::uint32_t bytes);
    std::uint32_t Write(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                        std::uint32_t bytes);
    bool Flush(DeviceHandle handle);
    void Close(DeviceHandle handle);
    bool Replace(const std::string& from, const std::string& to);
    bool Exists(const std::string& path) const { return files.contains(path); }
    bool Remove(const std::string& path) { return Survives() && files.erase(path) == 1; }
    std::size_t OpenCount() const { return open_.size(); }

    // What a crash leaves: each file as its last flush made it, the files
    // never flushed gone, every handle closed.
    void Crash();

  private:
    MemoryHostFile* FileOf(DeviceHandle handle);
    // False once the host has crashed.
    bool Survives();
    unsigned operations_ = 0;
    bool crashed_ = false;

    std::map<DeviceHandle, std::string> open_;
    DeviceHandle next_ = 1;
};

}  // namespace brovane

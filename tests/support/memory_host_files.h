// The test double's host file system: files by path, each with the bytes a
// reader sees and the bytes a crash would leave (what the last flush made
// stable). A file never flushed is lost in a crash, unless it was renamed:
// a replace or a move is stable at once, as the POSIX one flushes its
// folder (and as a journal may commit a rename before the data).
//
// Folders are a set of paths, each with a time. A file's folder need not be
// in it; a folder is made only where its parent is in it, is "/", or the
// name has no folder part. Folders and times survive a crash. The clock
// (`now`) stamps as POSIX does: creating or writing a file stamps the file,
// and making, replacing or removing an entry stamps the folder holding it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/handle_table.h"
#include "platform/platform.h"

namespace brovane {

struct MemoryHostFile {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> stable;
    bool everStable = false;
    bool renamed = false;   // its name is stable: a crash leaves it, empty when never flushed
    std::int64_t time = 0;  // modification time, seconds since the epoch
};

class MemoryHostFiles {
  public:
    std::map<std::string, MemoryHostFile> files;
    std::map<std::string, std::int64_t> folders;  // path to modification time
    std::int64_t now = 0;
    bool failFolderCreates = false;
    // The host paths that lie on a drive: the prefix folder and all below it.
    std::map<std::uint16_t, std::string> drivePrefixes;
    // A full disk: no file grows past this many bytes.
    std::uint64_t capacity = UINT64_MAX;
    bool failFlushes = false;
    // The n-th create, open, write, flush, replace, remove, folder create or
    // time set (from 1) does not happen: the host crashes in front of it (see
    // Crash), and every call after it fails. 0 for none.
    unsigned crashAtOperation = 0;

    DeviceHandle Create(const std::string& path);
    DeviceHandle Open(const std::string& path);
    std::uint32_t Read(DeviceHandle handle, std::uint64_t offset, void* buffer,
                       std::uint32_t bytes);
    std::uint32_t Write(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                        std::uint32_t bytes);
    bool Flush(DeviceHandle handle);
    // Flush for every file: the double has one file system.
    bool FlushAll();
    void Close(DeviceHandle handle);
    bool Replace(const std::string& from, const std::string& to);
    bool Exists(const std::string& path) const { return files.contains(path); }
    bool Remove(const std::string& path);
    bool CreateFolder(const std::string& path);
    bool FolderExists(const std::string& path) const;
    bool SetTime(const std::string& path, std::int64_t secondsSinceEpoch);
    std::optional<std::int64_t> Time(const std::string& path) const;
    // An existing file or folder under the drive's prefix.
    bool OnDrive(const std::string& path, std::uint16_t driveNumber) const;
    std::size_t OpenCount() const { return open_.size(); }

    // What a crash leaves: each file as its last flush made it, the files
    // never flushed gone, every handle closed.
    void Crash();

  private:
    MemoryHostFile* FileOf(DeviceHandle handle);
    // False once the host has crashed.
    bool Survives();
    // Stamps the folder holding path with the clock, when it is one of ours.
    void StampFolderOf(const std::string& path);
    unsigned operations_ = 0;
    bool crashed_ = false;

    std::map<DeviceHandle, std::string> open_;
    DeviceHandle next_ = 1;
};

}  // namespace brovane

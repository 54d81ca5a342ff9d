// Host files on POSIX: plain descriptors (the system cache is welcome for
// files we write; FlushHostFile is what makes them stable), transfers that
// go on until every byte moved, and a rename made stable by flushing the
// directory that holds the new name; syncfs for many at once. Folders and times through mkdir, stat
// and utimensat.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace brovane {

// A descriptor open for reading and writing, or -1.
int CreatePosixHostFile(const std::string& path);
int OpenPosixHostFile(const std::string& path);
std::uint32_t ReadPosixHostFile(int fd, std::uint64_t offset, void* buffer, std::uint32_t bytes);
std::uint32_t WritePosixHostFile(int fd, std::uint64_t offset, const void* buffer,
                                 std::uint32_t bytes);
bool FlushPosixHostFile(int fd);
bool ReplacePosixHostFile(const std::string& from, const std::string& to);
// syncfs of the file system holding path: every file, name and time on it.
bool FlushPosixFileSystem(const std::string& path);

// flock for this descriptor alone, waited for.
bool LockPosixHostFile(int fd);
// stat of the path, and its size from its end (a block device's too).
std::optional<DriveIdentity> IdentifyPosixDevice(const std::string& path);

// True when a folder is there afterwards, made now or before.
bool CreatePosixHostFolder(const std::string& path);
bool PosixHostFolderExists(const std::string& path);
// Modification and access time alike, in whole seconds since the epoch.
bool SetPosixHostFileTime(const std::string& path, std::int64_t secondsSinceEpoch);
std::optional<std::int64_t> PosixHostFileTime(const std::string& path);

}  // namespace brovane

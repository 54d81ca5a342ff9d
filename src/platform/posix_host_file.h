// Host files on POSIX: plain descriptors (the system cache is welcome for
// files we write; FlushHostFile is what makes them stable), transfers that
// go on until every byte moved, and a rename made stable by flushing the
// directory that holds the new name.
#pragma once

#include <cstdint>
#include <string>

namespace brovane {

// A descriptor open for reading and writing, or -1.
int CreatePosixHostFile(const std::string& path);
int OpenPosixHostFile(const std::string& path);
std::uint32_t ReadPosixHostFile(int fd, std::uint64_t offset, void* buffer, std::uint32_t bytes);
std::uint32_t WritePosixHostFile(int fd, std::uint64_t offset, const void* buffer,
                                 std::uint32_t bytes);
bool FlushPosixHostFile(int fd);
bool ReplacePosixHostFile(const std::string& from, const std::string& to);

}  // namespace brovane

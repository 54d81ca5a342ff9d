// Builds a platform with given disks, once on image files for the POSIX
// implementation and once in memory for the test double, so one test suite
// runs against both.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/device_name.h"
#include "platform/posix_platform.h"
#include "support/memory_platform.h"

namespace brovane::test {

struct TestDisk {
    TestDisk(std::uint64_t size, std::vector<std::uint8_t> start = {}, bool unwritable = false)
        : bytes(size), head(std::move(start)), readOnly(unwritable) {}
    std::uint64_t bytes;             // a multiple of 512
    std::vector<std::uint8_t> head;  // the disk's first bytes
    bool readOnly;
};

struct TestSetup {
    TestSetup(std::vector<TestDisk> hard = {}, std::vector<TestDisk> floppy = {},
              bool library = false)
        : hardDisks(std::move(hard)), floppies(std::move(floppy)), diskLibrary(library) {}
    std::vector<TestDisk> hardDisks;
    std::vector<TestDisk> floppies;
    bool diskLibrary;
};

// Calls visit(kind, disk) for the hard disks, then the floppies, in order.
template <typename Visit>
void ForEachDisk(const TestSetup& setup, Visit visit) {
    for (const auto& disk : setup.hardDisks) {
        visit(DeviceKind::kHardDisk, disk);
    }
    for (const auto& disk : setup.floppies) {
        visit(DeviceKind::kFloppy, disk);
    }
}

// A fresh folder under the temporary directory, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    // A sparse file of that size holding head at its start.
    std::string MakeImage(const std::string& name, std::uint64_t bytes,
                          const std::vector<std::uint8_t>& head = {});
    // Makes a file refuse opening for writing even to the superuser; false
    // when this file system cannot.
    bool MakeUnwritable(const std::string& file);
    // Undoes MakeUnwritable.
    void MakeWritable(const std::string& file);

  private:
    std::string path_;
    std::vector<std::string> unwritable_;
};

class PosixFactory {
  public:
    Platform& Create(const TestSetup& setup);
    // Bytes of a disk read past the platform.
    std::vector<std::uint8_t> Peek(DeviceKind kind, std::size_t index, std::uint64_t offset,
                                   std::size_t bytes);
    // False when this machine cannot make a read-only image.
    bool ReadOnlyWorks() const { return readOnlyWorks_; }

  private:
    std::string PathOf(DeviceKind kind, std::size_t index) const;

    TempFolder folder_;
    PlatformOptions options_;
    bool readOnlyWorks_ = true;
    std::unique_ptr<PosixPlatform> platform_;
};

class MemoryFactory {
  public:
    Platform& Create(const TestSetup& setup);
    std::vector<std::uint8_t> Peek(DeviceKind kind, std::size_t index, std::uint64_t offset,
                                   std::size_t bytes);
    bool ReadOnlyWorks() const { return true; }

  private:
    MemoryDisk& DiskOf(DeviceKind kind, std::size_t index);

    MemoryPlatform platform_;
};

// Bytes 0, 1, 2, ... wrapping at 251 (a prime, so sectors differ), from seed on.
std::vector<std::uint8_t> Pattern(std::size_t bytes, unsigned seed);

}  // namespace brovane::test

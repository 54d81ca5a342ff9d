// Builds a platform with given disks, once on image files for the POSIX
// implementation and once in memory for the test double, so one test suite
// runs against both.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_name.h"
#include "platform/posix_platform.h"
#include "support/memory_platform.h"

namespace brovane::test {

struct TestDisk {
    std::uint64_t bytes;                  // a multiple of 512
    std::vector<std::uint8_t> head = {};  // the disk's first bytes
};

struct TestSetup {
    std::vector<TestDisk> hardDisks = {};
    std::vector<TestDisk> floppies = {};
};

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

  private:
    std::string path_;
};

class PosixFactory {
  public:
    Platform& Create(const TestSetup& setup);
    // Bytes of the first hard disk read past the platform.
    std::vector<std::uint8_t> Peek(std::uint64_t offset, std::size_t bytes);
    // A path for a host file of that name, in a folder of the test's own.
    std::string HostPath(const std::string& name) { return folder_.Path() + "/" + name; }

  private:
    TempFolder folder_;
    PlatformOptions options_;
    std::unique_ptr<PosixPlatform> platform_;
};

class MemoryFactory {
  public:
    Platform& Create(const TestSetup& setup);
    std::vector<std::uint8_t> Peek(std::uint64_t offset, std::size_t bytes);
    std::string HostPath(const std::string& name) { return "/host/" + name; }

  private:
    MemoryPlatform platform_;
};

// Bytes 0, 1, 2, ... wrapping at 251 (a prime, so sectors differ), from seed on.
std::vector<std::uint8_t> Pattern(std::size_t bytes, unsigned seed);

}  // namespace brovane::test

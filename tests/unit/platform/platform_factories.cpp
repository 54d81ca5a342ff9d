#include "platform_factories.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace brovane::test {

std::vector<std::uint8_t> Pattern(std::size_t bytes, unsigned seed) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) {
        data[i] = static_cast<std::uint8_t>((i + seed) % 251);
    }
    return data;
}

TempFolder::TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/brovane-platform-XXXXXX";
    path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::string TempFolder::MakeImage(const std::string& name, std::uint64_t bytes,
                                  const std::vector<std::uint8_t>& head) {
    const std::string file = path_ + "/" + name;
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        const bool written =
            ::ftruncate(fd, static_cast<off_t>(bytes)) == 0 &&
            ::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size());
        ::close(fd);
        return written ? file : std::string();
    }
    return std::string();
}

Platform& PosixFactory::Create(const TestSetup& setup) {
    for (auto* list : {&setup.hardDisks, &setup.floppies}) {
        for (const TestDisk& disk : *list) {
            auto& files = list == &setup.hardDisks ? options_.disks : options_.floppies;
            const std::string file = folder_.MakeImage(
                (list == &setup.hardDisks ? "disk" : "floppy") + std::to_string(files.size()),
                disk.bytes, disk.head);
            files.push_back(file);
        }
    }
    platform_ = std::make_unique<PosixPlatform>(options_);
    return *platform_;
}

std::vector<std::uint8_t> PosixFactory::Peek(std::uint64_t offset, std::size_t bytes) {
    std::vector<std::uint8_t> data(bytes);
    const int fd = ::open(options_.disks[0].c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = ::pread(fd, data.data(), bytes, static_cast<off_t>(offset));
    data.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    ::close(fd);
    return data;
}

Platform& MemoryFactory::Create(const TestSetup& setup) {
    platform_.hostFiles.folders["/host"] = 0;
    for (auto* list : {&setup.hardDisks, &setup.floppies}) {
        for (const TestDisk& disk : *list) {
            const std::uint64_t sectors = disk.bytes / kMemorySectorBytes;
            const unsigned drive = list == &setup.hardDisks ? platform_.AddHardDisk(sectors)
                                                            : platform_.AddFloppy(sectors);
            PokeBytes(*platform_.FindDisk(drive), 0, disk.head);
        }
    }
    return platform_;
}

std::vector<std::uint8_t> MemoryFactory::Peek(std::uint64_t offset, std::size_t bytes) {
    return PeekBytes(*platform_.FindDisk(128), offset, bytes);
}

}  // namespace brovane::test

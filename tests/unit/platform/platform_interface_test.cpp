// The platform operations as the core relies on them, run against the POSIX
// implementation (on image files) and the test double alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform_factories.h"

namespace brovane::test {
namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

template <typename Factory>
class PlatformInterfaceTest : public ::testing::Test {
  protected:
    Platform& Create(const TestSetup& setup) { return factory_.Create(setup); }

    std::vector<std::uint8_t> Read(Platform& platform, DeviceHandle handle, std::uint64_t offset,
                                   std::uint32_t bytes) {
        std::vector<std::uint8_t> data(bytes);
        data.resize(platform.ReadAt(handle, offset, data.data(), bytes));
        return data;
    }

    Factory factory_;
};

struct FactoryNames {
    template <typename Factory>
    static std::string GetName(int) {
        return std::is_same_v<Factory, PosixFactory> ? "Posix" : "Memory";
    }
};

using Implementations = ::testing::Types<PosixFactory, MemoryFactory>;
TYPED_TEST_SUITE(PlatformInterfaceTest, Implementations, FactoryNames);

// Sizes are answered without an open; names of drives that do not exist
// neither open nor have a size.
TYPED_TEST(PlatformInterfaceTest, NamesReachTheirOwnDrivesAndSizesAndNoOthers) {
    Platform& platform = this->Create(
        {{{4096, Pattern(512, 1)}, {5 * kGiB, Pattern(512, 2)}}, {{1474560, Pattern(512, 3)}}});
    EXPECT_EQ(platform.DeviceBytes(HardDiskDeviceName(0)), 4096u);
    EXPECT_EQ(platform.DeviceBytes(HardDiskDeviceName(1)), 5 * kGiB);
    EXPECT_EQ(platform.DeviceBytes(FloppyDeviceName(0)), 1474560u);
    const DeviceHandle disk0 = platform.OpenDevice(HardDiskDeviceName(0));
    const DeviceHandle disk1 = platform.OpenDevice(HardDiskDeviceName(1));
    const DeviceHandle floppyA = platform.OpenDevice(FloppyDeviceName(0));

    for (auto [handle, seed] : {std::pair{disk0, 1u}, {disk1, 2u}, {floppyA, 3u}}) {
        EXPECT_NE(handle, kInvalidHandle);
        EXPECT_NE(handle, 0);
        EXPECT_EQ(this->Read(platform, handle, 0, 512), Pattern(512, seed));
    }
    for (const char* name : {"\\\\.\\PHYSICALDRIVE2", "\\\\.\\B:", "\\\\.\\PHYSICALDRIVE",
                             "\\\\.\\PHYSICALDRIVE0x", "PHYSICALDRIVE0", "\\\\.\\A:\\", ""}) {
        EXPECT_EQ(platform.OpenDevice(name), kInvalidHandle) << name;
        EXPECT_EQ(platform.DeviceBytes(name), 0u) << name;
    }
}

TYPED_TEST(PlatformInterfaceTest, TransfersPastFourGibibytesKeepTheFullOffsetAndStopAtTheEnd) {
    Platform& platform = this->Create({{{5 * kGiB}}, {}});
    const DeviceHandle disk = platform.OpenDevice(HardDiskDeviceName(0));
    const std::uint64_t offset = 4 * kGiB + 1024;
    const auto data = Pattern(1024, 7);

    EXPECT_EQ(platform.WriteAt(disk, offset, data.data(), 1024), 1024u);
    EXPECT_EQ(this->Read(platform, disk, offset, 1024), data);
    EXPECT_EQ(this->factory_.Peek(offset, 1024), data);
    EXPECT_EQ(this->factory_.Peek(1024, 1024), std::vector<std::uint8_t>(1024, 0));
    // Transfers stop at the end of the disk, which does not grow.
    const std::uint64_t end = 5 * kGiB;
    EXPECT_EQ(this->Read(platform, disk, end - 512, 1024).size(), 512u);
    EXPECT_EQ(this->Read(platform, disk, end, 512).size(), 0u);
    EXPECT_EQ(platform.WriteAt(disk, end - 512, data.data(), 1024), 512u);
    EXPECT_EQ(this->factory_.Peek(end - 512, 1024).size(), 512u);
}

TYPED_TEST(PlatformInterfaceTest, DriveTypesAreRemovableExactlyForFloppyLetters) {
    Platform& platform = this->Create({{{4096}}, {{4096}, {4096}}});
    EXPECT_EQ(platform.GetDriveType("A:\\"), kDriveRemovable);
    EXPECT_EQ(platform.GetDriveType("B:\\"), kDriveRemovable);
    EXPECT_EQ(platform.GetDriveType("C:\\"), kDriveNoRootDir);
    EXPECT_EQ(platform.GetDriveType("Z:\\"), kDriveNoRootDir);
    EXPECT_EQ(platform.GetDriveType("A:"), kDriveNoRootDir);
}

TYPED_TEST(PlatformInterfaceTest, AllocationsAreZeroedAlignedOrNull) {
    Platform& platform = this->Create({});
    auto* block = static_cast<std::uint8_t*>(platform.AllocateZeroed(3000));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(block, block + 3000), std::vector<std::uint8_t>(3000, 0));
    platform.FreeMemory(block);
    EXPECT_EQ(platform.AllocateZeroed(std::numeric_limits<std::size_t>::max() - 100), nullptr);
}

TYPED_TEST(PlatformInterfaceTest, MissingLibraryAndVirtualDeviceAnswerNoHandle) {
    Platform& platform = this->Create({});
    EXPECT_EQ(platform.OpenVirtualDevice("\\\\./nonexistent/DISK.VXD"), kInvalidHandle);
    const LibraryHandle library = platform.LoadLibrary("/nonexistent/Disk32.DLL");
    EXPECT_EQ(library, 0u);
    EXPECT_FALSE(platform.GetDiskTransferProc(library, "ReadDisk32"));
    EXPECT_FALSE(platform.GetExtensionCheckProc(library, "CheckInt13Extension32"));
}

TYPED_TEST(PlatformInterfaceTest, ClosedHandleMovesNothingAndReopeningWorks) {
    Platform& platform = this->Create({{}, {{4096, Pattern(512, 6)}}});
    const DeviceHandle first = platform.OpenDevice(FloppyDeviceName(0));
    platform.CloseDevice(first);
    EXPECT_TRUE(this->Read(platform, first, 0, 512).empty());

    const DeviceHandle second = platform.OpenDevice(FloppyDeviceName(0));
    ASSERT_NE(second, kInvalidHandle);
    EXPECT_EQ(this->Read(platform, second, 0, 512), Pattern(512, 6));
}

// Host files: a write past the end leaves a hole of zeros, a closed handle
// moves nothing, creating empties, a replace or a move takes the new file's
// bytes in one step, and missing files neither open, exist nor go.
TYPED_TEST(PlatformInterfaceTest, HostFilesAreWrittenReadAndReplaced) {
    Platform& platform = this->Create({});
    const std::string image = this->factory_.HostPath("image.img");
    const std::string temporary = this->factory_.HostPath("image.map.new");
    const std::string map = this->factory_.HostPath("image.map");
    EXPECT_FALSE(platform.HostFileExists(image));
    EXPECT_EQ(platform.OpenHostFile(image), kInvalidHandle);
    DeviceHandle file = platform.CreateHostFile(image);
    ASSERT_NE(file, kInvalidHandle);
    const std::vector<std::uint8_t> data = Pattern(3000, 7);
    EXPECT_EQ(platform.WriteHostFile(file, 1 << 20, data.data(), 3000), 3000u);
    EXPECT_TRUE(platform.FlushHostFile(file));
    std::vector<std::uint8_t> back(5000, 0xEE);
    EXPECT_EQ(platform.ReadHostFile(file, (1 << 20) - 1000, back.data(), 5000), 4000u);
    EXPECT_EQ(std::count(back.begin(), back.begin() + 1000, 0), 1000);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin() + 1000));
    platform.CloseHostFile(file);
    EXPECT_EQ(platform.ReadHostFile(file, 0, back.data(), 10), 0u);
    EXPECT_FALSE(platform.FlushHostFile(file));
    file = platform.OpenHostFile(image);
    EXPECT_EQ(platform.ReadHostFile(file, 1 << 20, back.data(), 3000), 3000u);
    platform.CloseHostFile(file);
    file = platform.CreateHostFile(image);
    EXPECT_EQ(platform.ReadHostFile(file, 0, back.data(), 10), 0u);
    platform.CloseHostFile(file);

    for (const auto& [path, text] : {std::pair{map, std::string("old")}, {temporary, "newer"}}) {
        const DeviceHandle written = platform.CreateHostFile(path);
        const auto bytes = static_cast<std::uint32_t>(text.size());
        EXPECT_EQ(platform.WriteHostFile(written, 0, text.data(), bytes), bytes);
        platform.CloseHostFile(written);
    }
    EXPECT_TRUE(platform.ReplaceHostFile(temporary, map));
    EXPECT_FALSE(platform.HostFileExists(temporary));
    file = platform.OpenHostFile(map);
    EXPECT_EQ(platform.ReadHostFile(file, 0, back.data(), 100), 5u);
    EXPECT_EQ(std::string(back.begin(), back.begin() + 5), "newer");
    platform.CloseHostFile(file);
    EXPECT_FALSE(platform.ReplaceHostFile(temporary, map));
    // A move replaces as well; the flush of its file system makes it stable.
    EXPECT_TRUE(platform.MoveHostFile(map, image));
    EXPECT_FALSE(platform.MoveHostFile(map, image));
    EXPECT_TRUE(platform.FlushHostFileSystem(image));
    file = platform.OpenHostFile(image);
    EXPECT_EQ(platform.ReadHostFile(file, 0, back.data(), 100), 5u);
    platform.CloseHostFile(file);
    EXPECT_TRUE(platform.RemoveHostFile(image));
    EXPECT_FALSE(platform.HostFileExists(image));
    EXPECT_FALSE(platform.RemoveHostFile(image));
}

// A folder is made once and then found again, never over a file or without
// its parent.
TYPED_TEST(PlatformInterfaceTest, HostFoldersAreMadeWhereTheirParentIs) {
    Platform& platform = this->Create({});
    const std::string folder = this->factory_.HostPath("out");
    const std::string file = this->factory_.HostPath("file");
    EXPECT_FALSE(platform.HostFolderExists(folder));
    EXPECT_TRUE(platform.CreateHostFolder(folder));
    EXPECT_TRUE(platform.CreateHostFolder(folder));
    EXPECT_TRUE(platform.CreateHostFolder(folder + "/sub"));
    EXPECT_TRUE(platform.HostFolderExists(folder + "/sub"));
    platform.CloseHostFile(platform.CreateHostFile(file));
    EXPECT_FALSE(platform.CreateHostFolder(file));
    EXPECT_FALSE(platform.HostFolderExists(file));
    EXPECT_FALSE(platform.CreateHostFolder(this->factory_.HostPath("missing/sub")));
    EXPECT_FALSE(platform.HostFolderExists(this->factory_.HostPath("missing")));
}

// Times past 2038 keep their seconds; a write, or a new entry in a folder,
// moves the time on again, so times are set after the contents.
TYPED_TEST(PlatformInterfaceTest, HostTimesAreSetAndReadBack) {
    Platform& platform = this->Create({});
    const std::string folder = this->factory_.HostPath("out");
    const std::string file = folder + "/README.TXT";
    constexpr std::int64_t kDosEpoch = 315532800;  // 1980-01-01
    constexpr std::int64_t kLate = 4102444800;     // 2100-01-01
    ASSERT_TRUE(platform.CreateHostFolder(folder));
    DeviceHandle handle = platform.CreateHostFile(file);
    platform.CloseHostFile(handle);
    EXPECT_TRUE(platform.SetHostFileTime(file, kDosEpoch));
    EXPECT_TRUE(platform.SetHostFileTime(folder, kLate));
    EXPECT_EQ(platform.HostFileTime(file), kDosEpoch);
    EXPECT_EQ(platform.HostFileTime(folder), kLate);

    handle = platform.OpenHostFile(file);
    EXPECT_EQ(platform.WriteHostFile(handle, 0, "x", 1), 1u);
    platform.CloseHostFile(handle);
    EXPECT_NE(platform.HostFileTime(file), kDosEpoch);
    platform.CloseHostFile(platform.CreateHostFile(folder + "/NEW"));
    EXPECT_NE(platform.HostFileTime(folder), kLate);

    const std::string missing = this->factory_.HostPath("missing");
    EXPECT_FALSE(platform.SetHostFileTime(missing, kDosEpoch));
    EXPECT_EQ(platform.HostFileTime(missing), std::nullopt);
}

}  // namespace
}  // namespace brovane::test

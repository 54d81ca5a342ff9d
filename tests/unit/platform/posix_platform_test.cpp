// What only the POSIX implementation does: finding the machine's disks
// (an image it cannot open is the acceptance test's), routing transfers around O_DIRECT's
// alignment, and loading shared objects (the disk library's calls are
// disk32_test's).
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>

#include <filesystem>
#include <fstream>

#include "platform_factories.h"

namespace brovane::test {
namespace {

// A sysfs block folder and a device folder made of plain files.
class FakeMachine {
  public:
    void AddBlockDevice(const std::string& name, bool withNode = true) {
        std::error_code error;
        std::filesystem::create_directories(SysBlock() + "/" + name, error);
        if (withNode) {
            folder_.MakeImage("dev/" + name, 4096, {static_cast<std::uint8_t>(name.back())});
        }
    }
    void AddNode(const std::string& name) { folder_.MakeImage("dev/" + name, 4096); }
    std::string SysBlock() const { return folder_.Path() + "/sys/block"; }
    std::string Dev() const { return folder_.Path() + "/dev"; }

    FakeMachine() {
        std::error_code error;
        std::filesystem::create_directories(Dev(), error);
    }

  private:
    TempFolder folder_;
};

TEST(PosixDeviceNamespaceTest, WholeDisksComeInNameOrderWithoutVirtualOrOpticalKinds) {
    FakeMachine machine;
    for (const char* name :
         {"sdb", "nvme0n1", "sda", "loop0", "ram1", "zram0", "dm-0", "md127", "sr0", "fd0"}) {
        machine.AddBlockDevice(name);
    }
    const PosixPlatform platform({}, machine.SysBlock(), machine.Dev());
    const std::string dev = machine.Dev() + "/";
    EXPECT_EQ(platform.Namespace().HardDisks(),
              (std::vector<std::string>{dev + "nvme0n1", dev + "sda", dev + "sdb"}));
}

TEST(PosixDeviceNamespaceTest, HardDiskNumbersGoPastNine) {
    FakeMachine machine;
    for (char letter = 'a'; letter <= 'l'; ++letter) {
        machine.AddBlockDevice(std::string("sd") + letter);
    }
    PosixPlatform platform({}, machine.SysBlock(), machine.Dev());
    const DeviceHandle twelfth = platform.OpenDevice(HardDiskDeviceName(11));
    std::uint8_t first = 0;
    EXPECT_EQ(platform.ReadAt(twelfth, 0, &first, 1), 1u);
    EXPECT_EQ(first, 'l');
    EXPECT_EQ(platform.OpenDevice(HardDiskDeviceName(12)), kInvalidHandle);
}

TEST(PosixDeviceNamespaceTest, FloppiesAreTheFloppyNodesThatExist) {
    FakeMachine machine;
    machine.AddNode("fd1");
    const PosixPlatform platform({}, machine.SysBlock(), machine.Dev());
    EXPECT_EQ(platform.Namespace().Floppies(), std::vector<std::string>{machine.Dev() + "/fd1"});
}

TEST(PosixDeviceNamespaceTest, AnyDeviceOptionReplacesTheMachinesDisks) {
    FakeMachine machine;
    machine.AddBlockDevice("sda");
    machine.AddNode("fd0");
    PlatformOptions options;
    options.floppies = {"/images/a.img"};
    const PosixPlatform platform(options, machine.SysBlock(), machine.Dev());
    EXPECT_TRUE(platform.Namespace().HardDisks().empty());
    EXPECT_EQ(platform.Namespace().Floppies(), options.floppies);
    EXPECT_EQ(*platform.Namespace().Resolve("\\\\.\\A:"), "/images/a.img");
}

TEST(PosixPlatformTest, ImagesOpenWithoutSystemCaching) {
    TempFolder folder;
    PosixDevice device;
    ASSERT_EQ(OpenPosixDevice(folder.MakeImage("d.img", 4096), device), 0);
    EXPECT_NE(::fcntl(device.bufferedFd, F_GETFL) & O_DSYNC, 0);
    if (device.directFd >= 0) {
        EXPECT_NE(::fcntl(device.directFd, F_GETFL) & O_DIRECT, 0);
    }
    ClosePosixDevice(device);
}

TEST(PosixPlatformTest, UnalignedAndOddSizedTransfersStillMoveEveryByte) {
    PosixFactory factory;
    Platform& platform = factory.Create({{{8192, Pattern(8192, 3)}}, {}});
    const DeviceHandle disk = platform.OpenDevice(HardDiskDeviceName(0));
    std::vector<std::uint8_t> buffer(2048);

    EXPECT_EQ(platform.ReadAt(disk, 3, buffer.data() + 1, 1000), 1000u);
    const auto expected = Pattern(8192, 3);
    EXPECT_TRUE(std::equal(buffer.begin() + 1, buffer.begin() + 1001, expected.begin() + 3));

    const auto data = Pattern(700, 11);
    EXPECT_EQ(platform.WriteAt(disk, 1001, data.data(), 700), 700u);
    EXPECT_EQ(factory.Peek(DeviceKind::kHardDisk, 0, 1001, 700), data);
}

TEST(PosixPlatformTest, ProgramDirectoryHoldsTheRunningExecutable) {
    PosixPlatform platform({});
    const std::string directory = platform.GetProgramDirectory();
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    EXPECT_EQ(directory + executable.filename().string(), executable.string());
}

// Disk32.DLL and DISK.VXD beside the test, as the program finds them.
std::string Beside(const char* name) {
    return PosixPlatform({}).GetProgramDirectory() + name;
}

bool Loaded(const std::string& path) {
    void* object = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (object != nullptr) {
        ::dlclose(object);
    }
    return object != nullptr;
}

TEST(PosixLibraryTest, VirtualDeviceAnswersTheFloppyCountAndIsUnloadedWhenClosed) {
    PlatformOptions options;
    options.floppies = {"/images/a.img", "/images/b.img"};
    PosixPlatform platform(options);
    const DeviceHandle device = platform.OpenVirtualDevice("\\\\.\\" + Beside("DISK.VXD"));
    ASSERT_NE(device, kInvalidHandle);
    std::uint32_t floppies = 0;
    std::uint32_t returned = 0;
    EXPECT_TRUE(platform.DeviceIoControl(device, 1, &floppies, 4, &returned));
    EXPECT_EQ(floppies, 2u);
    EXPECT_EQ(returned, 4u);
    EXPECT_FALSE(platform.DeviceIoControl(device, 2, &floppies, 4, &returned));
    platform.CloseVirtualDevice(device);
    EXPECT_FALSE(Loaded(Beside("DISK.VXD")));
}

TEST(PosixLibraryTest, ObjectsWithoutTheEntryOrPrefixDoNotOpenAndAllAreReleasedWithThePlatform) {
    {
        PosixPlatform platform({});
        EXPECT_EQ(platform.OpenVirtualDevice("\\\\.\\" + Beside("Disk32.DLL")), kInvalidHandle);
        EXPECT_EQ(platform.OpenVirtualDevice(Beside("DISK.VXD")), kInvalidHandle);
        EXPECT_FALSE(Loaded(Beside("Disk32.DLL")));
        const LibraryHandle library = platform.LoadLibrary(Beside("Disk32.DLL"));
        ASSERT_NE(library, 0u);
        EXPECT_TRUE(platform.GetDiskTransferProc(library, "WriteDisk32"));
        EXPECT_FALSE(platform.GetDiskTransferProc(library, "WriteDisk33"));
    }
    EXPECT_FALSE(Loaded(Beside("Disk32.DLL")));
}

}  // namespace
}  // namespace brovane::test

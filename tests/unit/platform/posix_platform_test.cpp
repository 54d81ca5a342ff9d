// What only the POSIX implementation does: finding the machine's disks
// (an image it cannot open is the acceptance test's), routing transfers around O_DIRECT's
// alignment, and loading shared objects (the disk library's calls are
// disk32_test's).
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>

#include <filesystem>

#include "platform_factories.h"

namespace brovane::test {
namespace {

// Whole disks come from a sysfs block folder in name order, without the
// virtual or optical kinds, numbered past nine; floppies are the floppy
// nodes that exist; any device option replaces the machine's disks.
TEST(PosixDeviceNamespaceTest, MachineDisksOrTheOptions) {
    TempFolder folder;
    const std::string sys = folder.Path() + "/sys/block";
    const std::string dev = folder.Path() + "/dev/";
    std::filesystem::create_directories(dev);
    for (const char* name :
         {"sdl", "nvme0n1", "sda", "sdb", "sdc", "sdd", "sde", "sdf", "sdg", "sdh", "sdi", "sdj",
          "loop0", "ram1", "zram0", "dm-0", "md127", "sr0", "fd0"}) {
        std::filesystem::create_directories(sys + "/" + name);
        folder.MakeImage(std::string("dev/") + name, 4096, {static_cast<std::uint8_t>(name[2])});
    }
    folder.MakeImage("dev/fd1", 4096);
    std::filesystem::remove(dev + "fd0");
    PosixPlatform platform({}, sys, dev.substr(0, dev.size() - 1));
    EXPECT_EQ(platform.Namespace().HardDisks().size(), 12u);
    EXPECT_EQ(platform.Namespace().HardDisks()[0], dev + "nvme0n1");
    EXPECT_EQ(platform.Namespace().Floppies(), std::vector<std::string>{dev + "fd1"});
    const DeviceHandle twelfth = platform.OpenDevice(HardDiskDeviceName(11));
    std::uint8_t first = 0;
    EXPECT_EQ(platform.ReadAt(twelfth, 0, &first, 1), 1u);
    EXPECT_EQ(first, 'l');
    EXPECT_EQ(platform.OpenDevice(HardDiskDeviceName(12)), kInvalidHandle);

    const PosixPlatform given({.disks = {}, .floppies = {"/images/a.img"}}, sys,
                              dev.substr(0, dev.size() - 1));
    EXPECT_TRUE(given.Namespace().HardDisks().empty());
    EXPECT_EQ(*given.Namespace().Resolve("\\\\.\\A:"), "/images/a.img");
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
    EXPECT_EQ(factory.Peek(1001, 700), data);
}

// Disk32.DLL and DISK.VXD beside the test, as the program finds them.
std::string Beside(const char* name) {
    return PosixPlatform({}).GetProgramDirectory() + name;
}

bool Loaded(const std::string& path) {
    void* object = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    return object != nullptr && ::dlclose(object) == 0;
}

TEST(PosixLibraryTest, VirtualDeviceAnswersTheFloppyCountAndIsUnloadedWhenClosed) {
    PosixPlatform platform({.disks = {}, .floppies = {"/images/a.img", "/images/b.img"}});
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

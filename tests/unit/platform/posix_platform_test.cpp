// What only the POSIX implementation does: finding the machine's disks
// (an image it cannot open is the acceptance test's), routing transfers around O_DIRECT's
// alignment, loading shared objects (the disk library's calls are
// disk32_test's), and telling which drive a host path lies on.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "platform/disk_units.h"
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

dev_t DeviceOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_dev : 0;
}

std::string NumberText(dev_t device) {
    return std::to_string(major(device)) + ':' + std::to_string(minor(device));
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text << '\n';
}

// A sysfs-shaped folder: devices/RELATIVE with its dev file (and a partition
// file for a partition), linked from block/MAJ:MIN as the kernel links it.
class FakeSysDevBlock {
  public:
    explicit FakeSysDevBlock(const std::string& root) : root_(root) {
        std::filesystem::create_directories(root_ + "/block");
    }
    std::string BlockRoot() const { return root_ + "/block"; }
    std::string Add(dev_t device, const std::string& relative, bool partition) {
        const std::string folder = root_ + "/devices/" + relative;
        std::filesystem::create_directories(folder);
        WriteText(folder + "/dev", NumberText(device));
        if (partition) {
            WriteText(folder + "/partition", "1");
        }
        std::filesystem::create_symlink(folder, BlockRoot() + "/" + NumberText(device));
        return folder;
    }

  private:
    std::string root_;
};

// A path on another file system than the temporary folder, or empty.
std::string OtherFileSystem(dev_t temporary, dev_t avoided) {
    for (const char* path : {"/proc", "/dev/shm", "/sys", "/dev", "/"}) {
        const dev_t device = DeviceOf(path);
        if (device != 0 && device != temporary && device != avoided) {
            return path;
        }
    }
    return {};
}

// A block device node of this machine, or empty.
std::string SomeBlockDevice() {
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/dev", error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->is_block_file(error)) {
            return entry->path().string();
        }
    }
    return {};
}

// An image drive holds the image itself and nothing else on its file system;
// drive numbers past the options hold nothing.
TEST(PosixHostDriveTest, ImageDriveHoldsTheImageAlone) {
    TempFolder folder;
    const std::string image = folder.MakeImage("disk.img", 4096);
    const std::string floppy = folder.MakeImage("floppy.img", 4096);
    PosixPlatform platform({.disks = {image}, .floppies = {floppy}});
    EXPECT_TRUE(platform.IsHostPathOnDrive(image, kFirstHardDisk));
    EXPECT_TRUE(platform.IsHostPathOnDrive(folder.Path() + "/./disk.img", kFirstHardDisk));
    EXPECT_TRUE(platform.IsHostPathOnDrive(floppy, 0));
    EXPECT_FALSE(platform.IsHostPathOnDrive(floppy, kFirstHardDisk));
    EXPECT_FALSE(platform.IsHostPathOnDrive(folder.Path(), kFirstHardDisk));
    EXPECT_FALSE(platform.IsHostPathOnDrive(image, kFirstHardDisk + 1));
    EXPECT_FALSE(platform.IsHostPathOnDrive(image, 1));
    EXPECT_FALSE(platform.IsHostPathOnDrive(folder.Path() + "/missing", kFirstHardDisk));
}

// A file system on a partition of a loop device the image backs lies on the
// image's drive, not on another image's.
TEST(PosixHostDriveTest, LoopDeviceFileSystemLiesOnItsBackingImage) {
    TempFolder folder;
    const std::string image = folder.MakeImage("disk.img", 4096);
    const std::string floppy = folder.MakeImage("floppy.img", 4096);
    FakeSysDevBlock sys(folder.Path() + "/sys");
    const auto loop = std::filesystem::path(sys.Add(DeviceOf(folder.Path()), "loop9/loop9p1", true))
                          .parent_path();
    std::filesystem::create_directories(loop / "loop");
    WriteText(loop / "loop/backing_file", std::filesystem::canonical(image).string());
    PosixPlatform platform({.disks = {image}, .floppies = {floppy}}, "/sys/block", "/dev",
                           sys.BlockRoot());
    EXPECT_TRUE(platform.IsHostPathOnDrive(folder.Path(), kFirstHardDisk));
    EXPECT_FALSE(platform.IsHostPathOnDrive(folder.Path(), 0));
    const std::string other = OtherFileSystem(DeviceOf(folder.Path()), 0);
    if (!other.empty()) {
        EXPECT_FALSE(platform.IsHostPathOnDrive(other, kFirstHardDisk)) << other;
    }
}

// A block-device drive holds the file systems on its partitions, not those
// on another disk's.
TEST(PosixHostDriveTest, BlockDeviceDriveHoldsItsPartitions) {
    const std::string node = SomeBlockDevice();
    struct stat drive {};
    if (node.empty() || ::stat(node.c_str(), &drive) != 0) {
        GTEST_SKIP() << "no block device node here";
    }
    TempFolder folder;
    const dev_t temporary = DeviceOf(folder.Path());
    const std::string other = OtherFileSystem(temporary, drive.st_rdev);
    if (other.empty() || temporary == drive.st_rdev) {
        GTEST_SKIP() << "no second file system to tell apart";
    }
    FakeSysDevBlock sys(folder.Path() + "/sys");
    sys.Add(drive.st_rdev, "vdz", false);
    sys.Add(temporary, "vdz/vdz1", true);
    sys.Add(makedev(259, 77), "vdy", false);
    sys.Add(DeviceOf(other), "vdy/vdy1", true);
    PosixPlatform platform({.disks = {node}, .floppies = {}}, "/sys/block", "/dev",
                           sys.BlockRoot());
    EXPECT_TRUE(platform.IsHostPathOnDrive(folder.Path(), kFirstHardDisk));
    EXPECT_FALSE(platform.IsHostPathOnDrive(other, kFirstHardDisk)) << other;
}

}  // namespace
}  // namespace brovane::test

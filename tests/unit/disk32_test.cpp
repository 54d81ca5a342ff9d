// The disk library and virtual device stand-ins, on their own and under the
// sector transfer through the real platform (reads past an image's end are
// the damaged-image corpus's, in both access modes).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/text_screen.h"
#include "disk/sector_transfer.h"
#include "disk32/bios_address.h"
#include "platform/posix_platform.h"
#include "platform_factories.h"

namespace brovane {
namespace {

using disk32::AddressedSector;
using disk32::AttachedDrive;
using disk32::LibraryAddress;

TEST(BiosAddress, DrivesWithoutExtensionsGoByChsAlone) {
    const disk32::DriveGeometry geometry{255, 63};
    // Cylinder 2, head 3, sector 4, with an absolute sector that disagrees.
    EXPECT_EQ(AddressedSector({2, 3, 4, 999, 0}, geometry), (2u * 255 + 3) * 63 + 3);
    // Cylinder bits 8-9 ride in the sector word.
    EXPECT_EQ(AddressedSector({0x10, 0, 0xC1, 0, 0}, geometry), 0x310u * 255 * 63);
    EXPECT_EQ(AddressedSector({2, 3, 4, 999, 1}, geometry), 999u);        // extended interface
    EXPECT_EQ(AddressedSector({1001, 7, 3, 777, 0}, geometry), 777u);     // unpacked form
    EXPECT_EQ(AddressedSector({0, 0, 0, 5, 0}, geometry), std::nullopt);  // no sector 0
    EXPECT_EQ(AddressedSector({0, 0, 64, 5, 0}, geometry), std::nullopt);
    EXPECT_EQ(AddressedSector({0, 255, 1, 5, 0}, geometry), std::nullopt);
}

TEST(BiosAddress, GeometriesAndExtensionValue) {
    EXPECT_EQ(disk32::FloppyGeometry(2880).sectorsPerTrack, 18u);
    EXPECT_EQ(disk32::FloppyGeometry(1440).sectorsPerTrack, 9u);
    EXPECT_EQ(disk32::FloppyGeometry(2400).sectorsPerTrack, 15u);
    EXPECT_EQ(disk32::FloppyGeometry(5760).heads, 2u);
    AttachedDrive small{{}, 1024ull * 255 * 63, {255, 63}};
    AttachedDrive large{{}, 1024ull * 255 * 63 + 1, {255, 63}};
    EXPECT_EQ(disk32::ExtensionValue(small, true), 0u);
    EXPECT_EQ(disk32::ExtensionValue(large, true), 1u);
    EXPECT_EQ(disk32::ExtensionValue(large, false), 0u);
}

// Sector s of the test images starts with its own number.
std::vector<std::uint8_t> NumberedSectors(std::uint32_t count) {
    std::vector<std::uint8_t> bytes(std::size_t{count} * kSectorBytes);
    for (std::uint32_t s = 0; s < count; ++s) {
        for (int i = 0; i < 4; ++i) {
            bytes[std::size_t{s} * kSectorBytes + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(s >> (8 * i));
        }
        bytes[std::size_t{s} * kSectorBytes + 100] = static_cast<std::uint8_t>(s * 13);
    }
    return bytes;
}

// A run from an origin at sector 1 of the given head, in a geometry.
SectorRun MakeRun(std::uint16_t drive, std::uint16_t heads, std::uint16_t perTrack,
                  std::uint32_t relative, std::uint32_t count) {
    SectorRun item{};
    item.driveNumber = drive;
    item.sector = 1;
    item.heads = heads;
    item.sectorsPerTrack = perTrack;
    item.relativeSector = relative;
    item.sectorCount = count;
    return item;
}

struct PosixSession {
    PosixSession(PlatformOptions options) : platform(options), session(platform, screen) {
        screen.SetEvents(&session);
        InitDiskAccess(session);
    }
    ~PosixSession() { ReleaseDiskAccess(session); }
    PosixPlatform platform;
    TextScreen screen;
    Session session;
};

class Disk32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        disk = folder.MakeImage("disk.img", 300000ull * kSectorBytes, NumberedSectors(20000));
        floppy = folder.MakeImage("floppy.img", 2880ull * kSectorBytes, NumberedSectors(2880));
    }
    PlatformOptions Options(bool library) {
        PlatformOptions options;
        options.disks = {disk};
        options.floppies = {floppy};
        options.diskLibrary = library;
        return options;
    }
    test::TempFolder folder;
    std::string disk;
    std::string floppy;
};

TEST_F(Disk32Test, LibraryReadsWhatTheDevicePathReadsThroughChs) {
    PosixSession library(Options(true));
    PosixSession paths(Options(false));
    // A volume at CHS 0/1/1 (absolute 63) in the 255 × 63 geometry, and the floppy.
    SectorRun volume = MakeRun(0x80, 255, 63, 0, 100);
    volume.head = 1;
    volume.baseSector = 63;
    for (SectorRun item : {volume, MakeRun(0, 2, 18, 0, 100)}) {
        for (std::uint32_t relative : {0u, 17u, 62u, 63u, 1000u, 2700u}) {
            item.relativeSector = relative;
            std::vector<std::uint8_t> viaLibrary(100 * kSectorBytes), viaPaths(100 * kSectorBytes);
            EXPECT_TRUE(ReadSectors(library.session.Io(), item, viaLibrary.data()));
            EXPECT_TRUE(ReadSectors(paths.session.Io(), item, viaPaths.data()));
            EXPECT_EQ(viaLibrary, viaPaths) << item.driveNumber << " at " << relative;
        }
    }
}

TEST_F(Disk32Test, LibraryWritesLandWhereTheyAreAddressed) {
    PosixSession library(Options(true));
    SectorRun item = MakeRun(0x80, 255, 63, 5000, 70);
    std::vector<std::uint8_t> data(70 * kSectorBytes, 0x5A);
    ASSERT_TRUE(WriteSectors(library.session.Io(), item, data.data()));
    std::ifstream image(disk, std::ios::binary);
    std::vector<std::uint8_t> back(72 * kSectorBytes);
    image.seekg(4999 * kSectorBytes);
    image.read(reinterpret_cast<char*>(back.data()), static_cast<std::streamsize>(back.size()));
    EXPECT_EQ(back[0], static_cast<std::uint8_t>(4999 & 0xFF));  // untouched before
    EXPECT_EQ(back[kSectorBytes], 0x5A);
    EXPECT_EQ(back[70 * kSectorBytes + 5], 0x5A);
    EXPECT_EQ(back[71 * kSectorBytes], static_cast<std::uint8_t>(5070 & 0xFF));  // untouched after
}

// Disk32.DLL loaded as the program loads it, its entries called directly.
struct LoadedLibrary {
    explicit LoadedLibrary(PosixPlatform& host)
        : platform(host),
          library(host.LoadLibrary(host.GetProgramDirectory() + "Disk32.DLL")),
          read(host.GetDiskTransferProc(library, "ReadDisk32")),
          write(host.GetDiskTransferProc(library, "WriteDisk32")) {}
    ~LoadedLibrary() { platform.FreeLibrary(library); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    // By absolute sector, as for a drive with the extended interface.
    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* buffer) {
        return read(0x80, 0, 0, 0, count, buffer, first, 1);
    }
    std::uint32_t Write(std::uint32_t first, std::uint32_t count, std::uint8_t* buffer) {
        return write(0x80, 0, 0, 0, count, buffer, first, 1);
    }
    PosixPlatform& platform;
    LibraryHandle library;
    DiskTransferProc read;
    DiskTransferProc write;
};

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// How many descriptors of this process are open on the file.
std::size_t DescriptorsOn(const std::string& path) {
    const std::filesystem::path file = std::filesystem::canonical(path);
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += std::filesystem::read_symlink(entry.path(), error) == file ? 1 : 0;
    }
    return count;
}

class Disk32LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image = folder.MakeImage("image.img", 64 * kSectorBytes, NumberedSectors(64));
        PlatformOptions options;
        options.disks = {image};
        options.diskLibrary = true;
        platform = std::make_unique<PosixPlatform>(options);
    }
    test::TempFolder folder;
    std::string image;
    std::unique_ptr<PosixPlatform> platform;
};

TEST_F(Disk32LibraryTest, WritesChangeExactlyTheSectorsAddressed) {
    LoadedLibrary library(*platform);
    ASSERT_TRUE(library.read && library.write);
    std::vector<std::uint8_t> expected = FileBytes(image);
    std::vector<std::uint8_t> data(3 * kSectorBytes, 0xA5);
    EXPECT_EQ(library.Write(10, 3, data.data()), 1u);
    std::fill(expected.begin() + 10 * kSectorBytes, expected.begin() + 13 * kSectorBytes, 0xA5);
    EXPECT_EQ(FileBytes(image), expected);
    // A run reaching past the end writes nothing, and the image does not grow.
    EXPECT_EQ(library.Write(63, 2, data.data()), 0u);
    EXPECT_EQ(FileBytes(image), expected);
}

TEST_F(Disk32LibraryTest, ReadOnlyImageIsReadButNeverWritten) {
    if (!folder.MakeUnwritable(image)) {
        GTEST_SKIP() << "no read-only image can be made here";
    }
    LoadedLibrary library(*platform);
    ASSERT_TRUE(library.read && library.write);
    const std::vector<std::uint8_t> before = FileBytes(image);
    std::vector<std::uint8_t> data(2 * kSectorBytes, 0xA5);
    EXPECT_EQ(library.Write(5, 2, data.data()), 0u);
    EXPECT_EQ(FileBytes(image), before);
    ASSERT_EQ(library.Read(5, 2, data.data()), 1u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), before.begin() + 5 * kSectorBytes));
    // Opened read-only when attached, the drive stays so: a write never
    // reopens it, even once the system would allow it.
    folder.MakeWritable(image);
    std::fill(data.begin(), data.end(), 0xA5);
    EXPECT_EQ(library.Write(5, 2, data.data()), 0u);
    EXPECT_EQ(FileBytes(image), before);
}

TEST_F(Disk32LibraryTest, EachDriveIsOpenedOnceAndClosedWhenDetached) {
    std::vector<std::uint8_t> sector(kSectorBytes);
    std::size_t opened = 0;
    {
        LoadedLibrary library(*platform);
        ASSERT_TRUE(library.read && library.write);
        opened = DescriptorsOn(image);
        EXPECT_GT(opened, 0u);
        EXPECT_EQ(library.Read(1, 1, sector.data()), 1u);
        EXPECT_EQ(library.Write(1, 1, sector.data()), 1u);
        EXPECT_EQ(DescriptorsOn(image), opened);  // transfers open nothing more
        // Loaded again, as after a refresh: the drives are attached anew.
        LoadedLibrary again(*platform);
        EXPECT_EQ(DescriptorsOn(image), opened);
        EXPECT_EQ(again.Read(1, 1, sector.data()), 1u);
    }
    EXPECT_EQ(DescriptorsOn(image), 0u);  // unloaded with its drives closed
}

}  // namespace
}  // namespace brovane

// The disk library stand-in: its BIOS addressing, and Disk32.DLL called
// directly on an image. That it reads and writes what device paths do is
// the corpus's and the write_changes acceptance test's, in both modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "disk/sector_run.h"
#include "disk32/bios_address.h"
#include "platform/posix_platform.h"
#include "platform_factories.h"

namespace brovane {
namespace {

using disk32::AddressedSector;
using disk32::AttachedDrive;

TEST(BiosAddress, SectorsByChsOrAbsoluteNumberFloppyGeometriesAndTheExtensionValue) {
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
    // Floppy geometries by size, and the extension value by drive size.
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
        image =
            folder.MakeImage("image.img", 64 * kSectorBytes, test::Pattern(64 * kSectorBytes, 0));
        platform = std::make_unique<PosixPlatform>(
            PlatformOptions{.disks = {image}, .floppies = {}, .diskLibrary = true});
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

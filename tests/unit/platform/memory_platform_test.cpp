// What the core's tests take on trust from the test double and could not
// notice if it were wrong: its disk library addresses by CHS as a BIOS
// would, and it tells freed blocks from blocks freed twice. Its faults and
// logs show in the core's tests, which fail without them.
#include <gtest/gtest.h>

#include "platform_factories.h"

namespace brovane::test {
namespace {

class MemoryDiskLibraryTest : public ::testing::Test {
  protected:
    MemoryDiskLibraryTest()
        : drive_(platform_.AddHardDisk(64)), disk_(*platform_.FindDisk(drive_)) {
        PokeBytes(disk_, 0, Pattern(64 * 512, 0));
        disk_.heads = 4;
        disk_.sectorsPerTrack = 8;
        library_ = platform_.LoadLibrary(platform_.GetProgramDirectory() + "Disk32.DLL");
        read_ = platform_.GetDiskTransferProc(library_, "ReadDisk32");
    }

    // The sector a one-sector read lands on, known by its pattern; -1 on failure.
    long SectorRead(std::uint32_t cylinder, std::uint32_t head, std::uint32_t sector,
                    std::uint32_t absolute) {
        std::vector<std::uint8_t> buffer(512);
        if (read_(drive_, cylinder, head, sector, 1, buffer.data(), absolute, 0) == 0) {
            return -1;
        }
        for (long candidate = 0; candidate < 64; ++candidate) {
            if (PeekBytes(disk_, static_cast<std::uint64_t>(candidate) * 512, 512) == buffer) {
                return candidate;
            }
        }
        return -2;
    }

    MemoryPlatform platform_;
    unsigned drive_;
    MemoryDisk& disk_;
    LibraryHandle library_ = 0;
    DiskTransferProc read_;
};

TEST_F(MemoryDiskLibraryTest, DriveWithoutExtensionsIsAddressedByChs) {
    ASSERT_TRUE(read_);
    EXPECT_EQ(SectorRead(1, 2, 3, 0), (1 * 4 + 2) * 8 + 2);
    EXPECT_EQ(SectorRead(1, 3, 3, 0), (1 * 4 + 3) * 8 + 2);
    EXPECT_EQ(SectorRead(0, 0, 0, 0), -1);
    EXPECT_EQ(SectorRead(0, 0, 9, 0), -1);
    EXPECT_EQ(SectorRead(0, 4, 1, 0), -1);
    // Cylinder bits 8-9 ride in the sector word.
    disk_.heads = 1;
    disk_.sectorsPerTrack = 1;
    disk_.sectorCount = 1024;
    PokeBytes(disk_, 300 * 512, Pattern(512, 77));
    std::vector<std::uint8_t> buffer(512);
    EXPECT_NE(read_(drive_, 300 & 0xFF, 0, 0x40 | 1, 1, buffer.data(), 0, 0), 0u);
    EXPECT_EQ(buffer, Pattern(512, 77));
}

TEST_F(MemoryDiskLibraryTest, DriveWithExtensionsIsAddressedByAbsoluteSector) {
    disk_.int13Extensions = 1;
    EXPECT_EQ(platform_.GetExtensionCheckProc(library_, "CheckInt13Extension32")(drive_), 1u);
    EXPECT_EQ(SectorRead(1, 2, 3, 17), 17);
    EXPECT_EQ(SectorRead(0, 0, 0, 40), 40);
}

TEST(MemoryPlatformTest, NthAllocationFailsAndBlocksFreedTwiceAreCounted) {
    MemoryPlatform platform;
    platform.settings.failingAllocation = 2;
    void* first = platform.AllocateZeroed(512);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(platform.AllocateZeroed(512), nullptr);
    EXPECT_NE(platform.AllocateZeroed(512), nullptr);
    platform.FreeMemory(first);
    platform.FreeMemory(first);
    EXPECT_EQ(platform.counters.allocations, 3u);
    EXPECT_EQ(platform.counters.frees, 1u);
    EXPECT_EQ(platform.counters.badFrees, 1u);
    EXPECT_EQ(platform.LiveBlocks(), 1u);
}

}  // namespace
}  // namespace brovane::test

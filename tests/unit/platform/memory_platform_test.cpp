// What the core's tests take on trust from the test double and could not
// notice if it were wrong: its disk library addresses by CHS as a BIOS
// would (by absolute sector with the extended interface), and it tells
// freed blocks from blocks freed twice.
#include <gtest/gtest.h>

#include "platform_factories.h"

namespace brovane::test {
namespace {

TEST(MemoryPlatformTest, DiskLibraryAddressesByChsOrWithExtensionsByAbsoluteSector) {
    MemoryPlatform platform;
    const unsigned drive = platform.AddHardDisk(9216);
    MemoryDisk& disk = *platform.FindDisk(drive);
    PokeBytes(disk, 0, Pattern(9216 * 512, 0));
    disk.heads = 4;
    disk.sectorsPerTrack = 8;
    const DiskTransferProc read = platform.GetDiskTransferProc(
        platform.LoadLibrary(platform.GetProgramDirectory() + "Disk32.DLL"), "ReadDisk32");
    ASSERT_TRUE(read);
    // Cylinder, head, sector (cylinder bits 8-9 in its top bits), absolute
    // sector, extensions; the sector read or -1.
    const std::uint32_t cases[][6] = {
        {1, 2, 3, 0, 0, (1 * 4 + 2) * 8 + 2},
        {1, 3, 3, 0, 0, (1 * 4 + 3) * 8 + 2},
        {0, 0, 0, 0, 0, ~0u},
        {0, 0, 9, 0, 0, ~0u},
        {0, 4, 1, 0, 0, ~0u},
        {0x1F, 3, 0x40 | 8, 0, 0, (0x11F * 4 + 3) * 8 + 7},
        {1, 2, 3, 17, 1, 17},
        {0, 0, 0, 40, 1, 40},
    };
    for (const auto& c : cases) {
        disk.int13Extensions = c[4];
        std::vector<std::uint8_t> buffer(512);
        const bool read1 = read(drive, c[0], c[1], c[2], 1, buffer.data(), c[3], 0) != 0;
        EXPECT_EQ(read1 ? buffer : std::vector<std::uint8_t>(),
                  c[5] == ~0u ? std::vector<std::uint8_t>() : PeekBytes(disk, c[5] * 512ull, 512))
            << c[0] << "/" << c[1] << "/" << c[2] << " " << c[3];
    }
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
    EXPECT_EQ(platform.counters.frees, 1u);
    EXPECT_EQ(platform.counters.badFrees, 1u);
    EXPECT_EQ(platform.LiveBlocks(), 1u);
}

}  // namespace
}  // namespace brovane::test

// The test double's faults, logs and disk library, as the core's tests will
// rely on them.
#include <gtest/gtest.h>

#include "platform_factories.h"

namespace brovane::test {
namespace {

class MemoryPlatformTest : public ::testing::Test {
  protected:
    MemoryPlatformTest() : drive_(platform_.AddHardDisk(64)), disk_(*platform_.FindDisk(drive_)) {
        PokeBytes(disk_, 0, Pattern(64 * 512, 0));
    }

    std::uint32_t ReadSectors(std::uint64_t first, std::uint32_t count) {
        const DeviceHandle handle = platform_.OpenDevice(HardDiskDeviceName(0));
        std::vector<std::uint8_t> buffer(count * 512);
        return platform_.ReadAt(handle, first * 512, buffer.data(), count * 512);
    }

    std::uint32_t WriteSectors(std::uint64_t first, std::uint32_t count) {
        const DeviceHandle handle = platform_.OpenDevice(HardDiskDeviceName(0));
        const std::vector<std::uint8_t> data(count * 512, 0xAB);
        return platform_.WriteAt(handle, first * 512, data.data(), count * 512);
    }

    MemoryPlatform platform_;
    unsigned drive_;
    MemoryDisk& disk_;
};

TEST_F(MemoryPlatformTest, BadSectorEndsATransferInFrontOfIt) {
    disk_.faults.read.badSectors = {5};
    disk_.faults.write.badSectors = {9};
    EXPECT_EQ(ReadSectors(3, 4), 2u * 512);
    EXPECT_EQ(ReadSectors(5, 1), 0u);
    EXPECT_EQ(ReadSectors(6, 2), 2u * 512);
    EXPECT_EQ(WriteSectors(8, 2), 512u);
    EXPECT_EQ(PeekBytes(disk_, 8 * 512, 512), std::vector<std::uint8_t>(512, 0xAB));
    const auto original = Pattern(64 * 512, 0);
    EXPECT_EQ(PeekBytes(disk_, 9 * 512, 512),
              std::vector<std::uint8_t>(original.begin() + 9 * 512, original.begin() + 10 * 512));
}

TEST_F(MemoryPlatformTest, RunsFailWholeWhileSingleSectorsSucceed) {
    disk_.faults.read.failRunsLongerThanOneSector = true;
    EXPECT_EQ(ReadSectors(0, 8), 0u);
    for (std::uint64_t sector = 0; sector < 8; ++sector) {
        EXPECT_EQ(ReadSectors(sector, 1), 512u);
    }
    EXPECT_EQ(WriteSectors(0, 8), 8u * 512);
}

TEST_F(MemoryPlatformTest, ShortAndEmptyTransfers) {
    disk_.faults.read.maxBytesPerCall = 1000;
    EXPECT_EQ(ReadSectors(0, 4), 1000u);
    disk_.faults.write.moveNothing = true;
    EXPECT_EQ(WriteSectors(0, 1), 0u);
    EXPECT_EQ(PeekBytes(disk_, 0, 512), Pattern(512, 0));
}

TEST_F(MemoryPlatformTest, OpensFailFirstOnlyOrAlways) {
    disk_.faults.failFirstOpens = 1;
    EXPECT_EQ(platform_.OpenDevice(HardDiskDeviceName(0)), kInvalidHandle);
    EXPECT_NE(platform_.OpenDevice(HardDiskDeviceName(0)), kInvalidHandle);
    disk_.faults.failEveryOpen = true;
    EXPECT_EQ(platform_.OpenDevice(HardDiskDeviceName(0)), kInvalidHandle);
    EXPECT_EQ(platform_.OpenDevice(HardDiskDeviceName(0)), kInvalidHandle);
    EXPECT_EQ(platform_.counters.opens, 4u);
    EXPECT_EQ(platform_.counters.failedOpens, 3u);
}

TEST_F(MemoryPlatformTest, TransfersAreCountedAndLogged) {
    const DeviceHandle handle = platform_.OpenDevice(HardDiskDeviceName(0));
    disk_.faults.read.maxBytesPerCall = 100;
    std::vector<std::uint8_t> buffer(1024);
    platform_.ReadAt(handle, 4096, buffer.data(), 1024);
    platform_.WriteAt(handle, 512, buffer.data(), 512);
    platform_.CloseDevice(handle);

    EXPECT_EQ(platform_.counters.reads, 1u);
    EXPECT_EQ(platform_.counters.writes, 1u);
    EXPECT_EQ(platform_.counters.closes, 1u);
    ASSERT_EQ(platform_.transfers.size(), 2u);
    const DeviceTransferRecord& read = platform_.transfers[0];
    EXPECT_EQ(std::tie(read.write, read.handle, read.offset, read.bytes, read.moved),
              std::make_tuple(false, handle, std::uint64_t{4096}, 1024u, 100u));
    EXPECT_TRUE(platform_.transfers[1].write);
    EXPECT_EQ(platform_.openedNames, std::vector<std::string>{"\\\\.\\PHYSICALDRIVE0"});
}

TEST_F(MemoryPlatformTest, NthAllocationFailsAndBlocksAreTracked) {
    platform_.settings.failingAllocation = 2;
    void* first = platform_.AllocateZeroed(512);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(platform_.AllocateZeroed(512), nullptr);
    void* third = platform_.AllocateZeroed(512);
    EXPECT_NE(third, nullptr);
    platform_.FreeMemory(first);
    platform_.FreeMemory(first);
    EXPECT_EQ(platform_.counters.allocations, 3u);
    EXPECT_EQ(platform_.counters.frees, 1u);
    EXPECT_EQ(platform_.counters.badFrees, 1u);
    EXPECT_EQ(platform_.LiveBlocks(), 1u);
}

// The disk library, loaded the way start-up loads it.
class MemoryDiskLibraryTest : public MemoryPlatformTest {
  protected:
    MemoryDiskLibraryTest() {
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
}

TEST_F(MemoryDiskLibraryTest, CylinderBitsInTheSectorWordCount) {
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

TEST_F(MemoryDiskLibraryTest, CallsAreLoggedAndFaultsHonoured) {
    const DiskTransferProc write = platform_.GetDiskTransferProc(library_, "WriteDisk32");
    disk_.faults.write.badSectors = {3};
    std::vector<std::uint8_t> buffer(4 * 512, 0xCD);
    EXPECT_EQ(write(drive_, 0, 0, 1, 4, buffer.data(), 0, 9), 0u);
    EXPECT_EQ(PeekBytes(disk_, 2 * 512, 1)[0], 0xCD);
    EXPECT_EQ(platform_.counters.libraryWrites, 1u);
    ASSERT_EQ(platform_.libraryCalls.size(), 1u);
    const DiskLibraryCall& call = platform_.libraryCalls[0];
    EXPECT_EQ(std::tie(call.write, call.drive, call.sector, call.count, call.int13Extensions),
              std::make_tuple(true, drive_, 1u, 4u, 9u));
    EXPECT_EQ(call.buffer, buffer.data());
}

TEST_F(MemoryDiskLibraryTest, MissingPiecesOfStartUp) {
    platform_.settings.missingFunctions = {"WriteDisk32"};
    EXPECT_FALSE(platform_.GetDiskTransferProc(library_, "WriteDisk32"));
    EXPECT_TRUE(platform_.GetDiskTransferProc(library_, "ReadDisk32"));
    platform_.FreeLibrary(library_);
    EXPECT_FALSE(platform_.GetDiskTransferProc(library_, "ReadDisk32"));
    platform_.settings.libraryMissing = true;
    EXPECT_EQ(platform_.LoadLibrary(platform_.GetProgramDirectory() + "Disk32.DLL"), 0u);
}

TEST_F(MemoryDiskLibraryTest, VirtualDeviceAnswersItsFloppyCount) {
    const std::string name = "\\\\.\\" + platform_.GetProgramDirectory() + "DISK.VXD";
    platform_.AddFloppy(2880);
    std::uint32_t floppies = 0;
    std::uint32_t returned = 0;
    DeviceHandle device = platform_.OpenVirtualDevice(name);
    EXPECT_TRUE(platform_.DeviceIoControl(device, 1, &floppies, 4, &returned));
    EXPECT_EQ(floppies, 1u);
    platform_.CloseVirtualDevice(device);

    platform_.settings.virtualDeviceFloppyCount = 3;
    device = platform_.OpenVirtualDevice(name);
    EXPECT_TRUE(platform_.DeviceIoControl(device, 1, &floppies, 4, &returned));
    EXPECT_EQ(floppies, 3u);
    EXPECT_EQ(returned, 4u);
    EXPECT_FALSE(platform_.DeviceIoControl(device, 2, &floppies, 4, &returned));
    platform_.CloseVirtualDevice(device);
    EXPECT_EQ(platform_.counters.virtualDeviceCloses, 2u);

    platform_.settings.virtualDeviceMissing = true;
    EXPECT_EQ(platform_.OpenVirtualDevice(name), kInvalidHandle);
}

}  // namespace
}  // namespace brovane::test

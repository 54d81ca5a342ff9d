#include "disk/sector_transfer.h"

#include <gtest/gtest.h>

#include <numeric>

#include "app/disk_lifecycle.h"
#include "session_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sector s of a test disk is filled with the byte (s * 7 + 1) & 0xFF and
// starts with its own number, so a sector read from a wrong place shows.
Bytes SectorPattern(std::uint64_t sector) {
    Bytes bytes(kSectorBytes, static_cast<std::uint8_t>(sector * 7 + 1));
    for (int i = 0; i < 8; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sector >> (8 * i));
    }
    return bytes;
}

void FillDisk(MemoryDisk& disk, std::uint64_t first, std::uint64_t count) {
    for (std::uint64_t s = first; s < first + count; ++s) {
        PokeBytes(disk, s * kSectorBytes, SectorPattern(s));
    }
}

class SectorTransferTest : public ::testing::Test, public SessionHarness {
  protected:
    // A hard disk with a BIOS geometry of 16 heads and 63 sectors a track.
    MemoryDisk& SetUpHardDisk(bool diskLibrary) {
        platform.settings.diskLibrary = diskLibrary;
        MemoryDisk& disk = *platform.FindDisk(platform.AddHardDisk(64 * 16 * 63));
        disk.heads = 16;
        disk.sectorsPerTrack = 63;
        FillDisk(disk, 0, 4000);
        InitDiskAccess(session);
        return disk;
    }
    // A run inside a volume whose origin is CHS 0/1/1, LBA 63.
    static SectorRun Run(std::uint32_t relative, std::uint32_t count) {
        SectorRun item{};
        item.driveNumber = 0x80;
        item.cylinder = 0;
        item.head = 1;
        item.sector = 1;
        item.baseSector = 63;
        item.relativeSector = relative;
        item.sectorCount = count;
        item.heads = 16;
        item.sectorsPerTrack = 63;
        return item;
    }
    Bytes Expected(std::uint64_t firstAbsolute, std::size_t count) {
        Bytes bytes;
        for (std::size_t i = 0; i < count; ++i) {
            Bytes one = SectorPattern(firstAbsolute + i);
            bytes.insert(bytes.end(), one.begin(), one.end());
        }
        return bytes;
    }
};

TEST_F(SectorTransferTest, DevicePathRunIsOnePositionedTransfer) {
    SetUpHardDisk(false);
    platform.transfers.clear();
    Bytes buffer(8 * kSectorBytes);
    EXPECT_TRUE(ReadSectors(session.Io(), Run(10, 8), buffer.data()));
    EXPECT_EQ(buffer, Expected(73, 8));
    ASSERT_EQ(platform.transfers.size(), 1u);
    EXPECT_EQ(platform.transfers[0].offset, 73u * kSectorBytes);
    EXPECT_EQ(platform.transfers[0].bytes, 8u * kSectorBytes);
    EXPECT_EQ(screen.StatusText(kProgressPane), "Wait....");  // callers clear it
}

// Runs that fail whole, floppies opened (again) when nothing moved, and
// writes retried sector by sector are the fault matrix's, seen through what
// each view shows and writes.
TEST_F(SectorTransferTest, UnreadableSectorIsFilledAndTheRestReadOneByOne) {
    MemoryDisk& disk = SetUpHardDisk(false);
    disk.faults.read.badSectors = {75, 63};  // the third sector of the run
    Bytes buffer(8 * kSectorBytes);
    EXPECT_FALSE(ReadSectors(session.Io(), Run(10, 8), buffer.data()));
    Bytes expected = Expected(73, 8);
    std::fill_n(expected.begin() + 2 * kSectorBytes, kSectorBytes, kUnreadableFill);
    EXPECT_EQ(buffer, expected);
    // A single sector is not retried, so not filled.
    Bytes single(kSectorBytes, 0x55);
    EXPECT_FALSE(ReadSectors(session.Io(), Run(0, 1), single.data()));
    EXPECT_EQ(single, Bytes(kSectorBytes, 0x55));
}

TEST_F(SectorTransferTest, EmptyRunSucceedsWithoutTransferInBothModes) {
    for (bool library : {false, true}) {
        SetUpHardDisk(library);
        platform.transfers.clear();
        platform.libraryCalls.clear();
        EXPECT_TRUE(ReadSectors(session.Io(), Run(10, 0), nullptr));
        EXPECT_TRUE(WriteSectors(session.Io(), Run(10, 0), nullptr));
        EXPECT_TRUE(platform.transfers.empty());
        EXPECT_TRUE(platform.libraryCalls.empty());
        ReleaseDiskAccess(session);
    }
}

TEST_F(SectorTransferTest, OffsetCarriesPastThirtyTwoBits) {
    SetUpHardDisk(false);
    platform.transfers.clear();
    SectorRun item = Run(0x80000000u, 1);
    item.baseSector = 0x80000010u;
    Bytes buffer(kSectorBytes);
    ReadSectors(session.Io(), item, buffer.data());
    ASSERT_FALSE(platform.transfers.empty());
    EXPECT_EQ(platform.transfers[0].offset, 0x100000010ull * kSectorBytes);
}

TEST_F(SectorTransferTest, LibraryCutsRunsAtTrackEnds) {
    SetUpHardDisk(true);
    platform.libraryCalls.clear();
    // Relative sector 59 of an origin at head 1, sector 1 is sector 60 of its track.
    Bytes buffer(10 * kSectorBytes);
    EXPECT_TRUE(ReadSectors(session.Io(), Run(59, 10), buffer.data()));
    EXPECT_EQ(buffer, Expected(63 + 59, 10));
    ASSERT_EQ(platform.libraryCalls.size(), 2u);
    const DiskLibraryCall& first = platform.libraryCalls[0];
    const DiskLibraryCall& second = platform.libraryCalls[1];
    EXPECT_EQ(first.count, 4u);
    EXPECT_EQ(second.count, 6u);
    EXPECT_EQ(second.buffer, first.buffer + 2048);
    EXPECT_EQ(second.absoluteSector, first.absoluteSector + 4);
    EXPECT_EQ(first.absoluteSector, 63u + 59);
    EXPECT_EQ(first.head, 1u);
    EXPECT_EQ(first.sector, 60u);
    EXPECT_EQ(second.head, 2u);
    EXPECT_EQ(second.sector, 1u);
}

TEST_F(SectorTransferTest, LibraryRetriesOnlyTheFailedPieceIntoItsOwnPlace) {
    MemoryDisk& disk = SetUpHardDisk(true);
    disk.faults.read.badSectors = {63 + 63};  // inside the second piece
    platform.libraryCalls.clear();
    Bytes buffer(70 * kSectorBytes, 0x55);
    // Pieces: 4 sectors, 63 sectors (fails), 3 sectors (never read).
    EXPECT_FALSE(ReadSectors(session.Io(), Run(59, 70), buffer.data()));
    Bytes expected = Expected(63 + 59, 67);
    std::fill_n(expected.begin() + 4 * kSectorBytes, kSectorBytes, kUnreadableFill);
    expected.resize(70 * kSectorBytes, 0x55);
    EXPECT_EQ(buffer, expected);
    ASSERT_EQ(platform.libraryCalls.size(), 2u + 63u);
    EXPECT_EQ(platform.libraryCalls[2].count, 1u);
    EXPECT_EQ(platform.libraryCalls[2].buffer, buffer.data() + 4 * kSectorBytes);
}

TEST_F(SectorTransferTest, LibraryWithoutGeometryTransfersNothing) {
    SetUpHardDisk(true);
    platform.libraryCalls.clear();
    SectorRun item = Run(0, 1);
    item.heads = 0;
    Bytes buffer(kSectorBytes);
    EXPECT_FALSE(ReadSectors(session.Io(), item, buffer.data()));
    item = Run(0, 1);
    item.sectorsPerTrack = 0;
    EXPECT_FALSE(WriteSectors(session.Io(), item, buffer.data()));
    EXPECT_TRUE(platform.libraryCalls.empty());
}

TEST_F(SectorTransferTest, LibraryNeverSendsAnAddressWrappedPastThirtyTwoBits) {
    MemoryDisk& disk = SetUpHardDisk(true);
    platform.libraryCalls.clear();
    // Origin 63 plus 0xFFFFFFC1 is sector 2^32: sent as 32 bits it would be
    // sector 0, the master boot record.
    Bytes buffer(kSectorBytes, 0x55);
    EXPECT_FALSE(ReadSectors(session.Io(), Run(0xFFFFFFC1u, 1), buffer.data()));
    EXPECT_EQ(buffer, Bytes(kSectorBytes, 0x55));
    EXPECT_TRUE(platform.libraryCalls.empty());
    Bytes data(kSectorBytes, 0xAB);
    EXPECT_FALSE(WriteSectors(session.Io(), Run(0xFFFFFFC1u, 1), data.data()));
    EXPECT_EQ(PeekBytes(disk, 0, kSectorBytes), SectorPattern(0));
    EXPECT_TRUE(platform.libraryCalls.empty());
    // A run across the boundary: the sector below it is retried alone and
    // read; the one past it is filled.
    SectorRun across = Run(0xFFFFFFC0u, 2);
    across.baseSector = 63;
    Bytes two(2 * kSectorBytes, 0x55);
    EXPECT_FALSE(ReadSectors(session.Io(), across, two.data()));
    ASSERT_EQ(platform.libraryCalls.size(), 1u);
    EXPECT_EQ(platform.libraryCalls[0].absoluteSector, 0xFFFFFFFFu);
    EXPECT_EQ(Bytes(two.begin() + kSectorBytes, two.end()), Bytes(kSectorBytes, kUnreadableFill));
}

TEST_F(SectorTransferTest, RetryDoesNotWrapRoundToTheOriginsFirstSectors) {
    // A run from relative sector 2^32 - 2 fails as a whole (it lies past the
    // disk); its third and fourth sectors have no 32-bit relative number and
    // must not be read as relative sectors 0 and 1.
    SetUpHardDisk(false);
    platform.transfers.clear();
    Bytes buffer(4 * kSectorBytes, 0x55);
    EXPECT_FALSE(ReadSectors(session.Io(), Run(0xFFFFFFFEu, 4), buffer.data()));
    EXPECT_EQ(buffer, Bytes(4 * kSectorBytes, kUnreadableFill));
    for (const DeviceTransferRecord& transfer : platform.transfers) {
        EXPECT_GE(transfer.offset, (63 + 0xFFFFFFFEull) * kSectorBytes);
    }
}

TEST(ComputeChsAddress, PacksUpToCylinderOneThousandAndNotBeyond) {
    SectorRun item{};
    item.sector = 1;
    item.heads = 16;
    item.sectorsPerTrack = 63;
    ChsAddress chs;
    item.relativeSector = (1000u * 16 + 5) * 63 + 9;  // cylinder 1000, head 5, sector 10
    ComputeChsAddress(item, chs);
    EXPECT_EQ(chs.cylinder, 1000u & 0xFF);
    EXPECT_EQ(chs.sector, 10u | ((1000u >> 2) & 0xC0));
    EXPECT_EQ(chs.head, 5u);
    item.relativeSector = (1001u * 16 + 7) * 63 + 2;  // cylinder 1001, head 7, sector 3
    ComputeChsAddress(item, chs);
    EXPECT_EQ(chs.cylinder, 1001u);
    EXPECT_EQ(chs.sector, 3u);
    EXPECT_EQ(chs.head, 5u);  // not computed: the previous conversion's head
}

TEST(ComputeChsAddress, StartsFromThePackedOrigin) {
    SectorRun item{};
    item.cylinder = 0x10;       // low bits of cylinder 0x310
    item.sector = 0xC0 | 0x05;  // cylinder bits 8-9 set, sector 5
    item.head = 3;
    item.heads = 255;
    item.sectorsPerTrack = 63;
    item.relativeSector = 63 - 5 + 1;  // the first sector of the next head
    ChsAddress chs;
    ComputeChsAddress(item, chs);
    EXPECT_EQ(chs.head, 4u);
    EXPECT_EQ(chs.sector & 0x3F, 1u);
    EXPECT_EQ(chs.cylinder | ((chs.sector & 0xC0) << 2), 0x310u);
}

}  // namespace
}  // namespace brovane

// Runs of sectors by device path and through the disk library: where each
// transfer goes, how a failed run is retried, and what no address may wrap
// to. What the views show of failed runs is the fault matrix's.
#include "disk/sector_transfer.h"

#include <gtest/gtest.h>

#include "app/disk_lifecycle.h"
#include "session_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sector s of the test disk starts with its own number and is filled with
// (s * 7 + 1) & 0xFF, so a sector read from a wrong place shows.
Bytes Sectors(std::uint64_t first, std::size_t count) {
    Bytes bytes;
    for (std::uint64_t s = first; s < first + count; ++s) {
        bytes.resize(bytes.size() + kSectorBytes, static_cast<std::uint8_t>(s * 7 + 1));
        for (std::size_t i = 0; i < 8; ++i) {
            bytes[bytes.size() - kSectorBytes + i] = static_cast<std::uint8_t>(s >> (8 * i));
        }
    }
    return bytes;
}

class SectorTransferTest : public ::testing::Test, public SessionHarness {
  protected:
    // A hard disk with a BIOS geometry of 16 heads and 63 sectors a track.
    MemoryDisk& SetUpHardDisk(bool diskLibrary) {
        platform.settings.diskLibrary = diskLibrary;
        MemoryDisk& disk = *platform.FindDisk(platform.AddHardDisk(64 * 16 * 63));
        disk.heads = 16;
        disk.sectorsPerTrack = 63;
        PokeBytes(disk, 0, Sectors(0, 4000));
        InitDiskAccess(session);
        platform.transfers.clear();
        platform.libraryCalls.clear();
        return disk;
    }
    // A run inside a volume whose origin is CHS 0/1/1, LBA 63.
    static SectorRun Run(std::uint32_t relative, std::uint32_t count) {
        // Drive, origin (cylinder, head, sector, LBA), relative sector, count, geometry.
        return {0x80, 0, 1, 1, 63, relative, count, 16, 63};
    }
    // Reads into a buffer of 0x55 bytes; answers the buffer, "failed" noted.
    Bytes Read(const SectorRun& run, bool succeeds) {
        Bytes buffer(std::size_t{run.sectorCount} * kSectorBytes, 0x55);
        EXPECT_EQ(ReadSectors(session.Io(), run, buffer.data()), succeeds);
        return buffer;
    }
    static Bytes Filled(Bytes bytes, std::size_t sector, std::uint8_t byte = kUnreadableFill) {
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(sector * kSectorBytes),
                    kSectorBytes, byte);
        return bytes;
    }
};

TEST_F(SectorTransferTest, DevicePathRunIsOnePositionedTransferWithA64BitOffset) {
    SetUpHardDisk(false);
    EXPECT_EQ(Read(Run(10, 8), true), Sectors(73, 8));
    ASSERT_EQ(platform.transfers.size(), 1u);
    EXPECT_EQ(platform.transfers[0].offset, 73u * kSectorBytes);
    EXPECT_EQ(platform.transfers[0].bytes, 8u * kSectorBytes);
    EXPECT_EQ(screen.StatusText(kProgressPane), "Wait....");  // callers clear it
    SectorRun far = Run(0x80000000u, 1);
    far.baseSector = 0x80000010u;
    Read(far, false);
    EXPECT_EQ(platform.transfers[1].offset, 0x100000010ull * kSectorBytes);
}

TEST_F(SectorTransferTest, UnreadableSectorIsFilledAndTheRestReadOneByOne) {
    SetUpHardDisk(false).faults.read.badSectors = {75, 63};  // the run's third sector
    EXPECT_EQ(Read(Run(10, 8), false), Filled(Sectors(73, 8), 2));
    EXPECT_EQ(Read(Run(0, 1), false), Bytes(kSectorBytes, 0x55));  // one sector: no retry
    // A run from relative sector 2^32 - 2 lies past the disk; its third and
    // fourth sectors have no 32-bit relative number and must not be read as
    // relative sectors 0 and 1.
    platform.transfers.clear();
    EXPECT_EQ(Read(Run(0xFFFFFFFEu, 4), false), Bytes(4 * kSectorBytes, kUnreadableFill));
    for (const DeviceTransferRecord& transfer : platform.transfers) {
        EXPECT_GE(transfer.offset, (63 + 0xFFFFFFFEull) * kSectorBytes);
    }
}

TEST_F(SectorTransferTest, EmptyRunSucceedsWithoutTransferInBothModes) {
    for (bool library : {false, true}) {
        SetUpHardDisk(library);
        EXPECT_TRUE(ReadSectors(session.Io(), Run(10, 0), nullptr));
        EXPECT_TRUE(WriteSectors(session.Io(), Run(10, 0), nullptr));
        EXPECT_TRUE(platform.transfers.empty());
        EXPECT_TRUE(platform.libraryCalls.empty());
        ReleaseDiskAccess(session);
    }
}

// Relative sector 59 of an origin at head 1, sector 1 is sector 60 of its
// track: a run of 70 is cut into 4, 63 and 3 sectors. A piece that fails is
// retried sector by sector into its own place, and the rest is not read.
TEST_F(SectorTransferTest, LibraryCutsRunsAtTrackEndsAndRetriesOnlyTheFailedPiece) {
    MemoryDisk& disk = SetUpHardDisk(true);
    const Bytes ten = Read(Run(59, 10), true);
    EXPECT_EQ(ten, Sectors(63 + 59, 10));
    ASSERT_EQ(platform.libraryCalls.size(), 2u);
    const auto fields = [](const DiskLibraryCall& c) {
        return std::vector<std::uint32_t>{c.count, c.head, c.sector, c.absoluteSector};
    };
    EXPECT_EQ(fields(platform.libraryCalls[0]), (std::vector<std::uint32_t>{4, 1, 60, 122}));
    EXPECT_EQ(fields(platform.libraryCalls[1]), (std::vector<std::uint32_t>{6, 2, 1, 126}));
    EXPECT_EQ(platform.libraryCalls[1].buffer, platform.libraryCalls[0].buffer + 2048);

    disk.faults.read.badSectors = {63 + 63};  // inside the second piece
    platform.libraryCalls.clear();
    Bytes expected = Filled(Sectors(63 + 59, 67), 4);
    expected.resize(70 * kSectorBytes, 0x55);
    EXPECT_EQ(Read(Run(59, 70), false), expected);
    ASSERT_EQ(platform.libraryCalls.size(), 2u + 63u);
    EXPECT_EQ(platform.libraryCalls[2].count, 1u);
    EXPECT_EQ(platform.libraryCalls[2].absoluteSector, 63u + 59 + 4);
}

// Without a geometry nothing is sent. Origin 63 plus 0xFFFFFFC1 is sector
// 2^32: sent as 32 bits it would be sector 0, the master boot record. A run
// across that boundary reads the sector below it alone and fills the rest.
TEST_F(SectorTransferTest, LibraryNeverSendsAnAddressWithoutGeometryOrPastThirtyTwoBits) {
    MemoryDisk& disk = SetUpHardDisk(true);
    SectorRun flat = Run(0, 1);
    flat.heads = 0;
    EXPECT_EQ(Read(flat, false), Bytes(kSectorBytes, 0x55));
    flat = Run(0, 1);
    flat.sectorsPerTrack = 0;
    Bytes data(kSectorBytes, 0xAB);
    EXPECT_FALSE(WriteSectors(session.Io(), flat, data.data()));
    EXPECT_EQ(Read(Run(0xFFFFFFC1u, 1), false), Bytes(kSectorBytes, 0x55));
    EXPECT_FALSE(WriteSectors(session.Io(), Run(0xFFFFFFC1u, 1), data.data()));
    EXPECT_EQ(PeekBytes(disk, 0, kSectorBytes), Sectors(0, 1));
    EXPECT_TRUE(platform.libraryCalls.empty());
    EXPECT_EQ(Read(Run(0xFFFFFFC0u, 2), false).back(), kUnreadableFill);
    ASSERT_EQ(platform.libraryCalls.size(), 1u);
    EXPECT_EQ(platform.libraryCalls[0].absoluteSector, 0xFFFFFFFFu);
}

// Up to cylinder 1000 the cylinder's bits 8-9 ride in the sector byte;
// beyond, the cylinder is unpacked and the head is not computed (it stays
// the previous conversion's). The origin's packed cylinder is unpacked.
TEST(ComputeChsAddress, PacksUpToCylinderOneThousandFromThePackedOrigin) {
    struct Case {
        std::uint16_t cylinder, sector, head, heads;
        std::uint32_t relative;
        std::vector<std::uint32_t> expected;  // cylinder, sector, head
    };
    const Case cases[] = {
        {0, 1, 0, 16, (1000u * 16 + 5) * 63 + 9, {0xE8, 0xCA, 5}},
        {0, 1, 0, 16, (1001u * 16 + 7) * 63 + 2, {1001, 3, 5}},
        {0x10, 0xC5, 3, 255, 63 - 5 + 1, {0x10, 0xC1, 4}},
    };
    ChsAddress chs{};
    for (const Case& c : cases) {
        // Drive, origin (cylinder, head, sector, LBA), relative sector, count, geometry.
        ComputeChsAddress({0, c.cylinder, c.head, c.sector, 0, c.relative, 0, c.heads, 63}, chs);
        EXPECT_EQ((std::vector<std::uint32_t>{chs.cylinder, chs.sector, chs.head}), c.expected)
            << c.relative;
    }
}

}  // namespace
}  // namespace brovane

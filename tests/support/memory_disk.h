// A disk of the in-memory platform, with the faults it can be told to show.
//
// The contents are sparse: only sectors ever written are stored, the rest
// read as zeros, so a disk may claim more than 4 GiB. A transfer that touches
// a bad sector moves the bytes in front of that sector and stops there, which
// the caller sees as a short count (nothing when the first sector is bad).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace brovane {

inline constexpr std::uint32_t kMemorySectorBytes = 512;

// The faults of one direction, reading or writing.
struct TransferFaults {
    std::set<std::uint64_t> badSectors;
    // Transfers of more than one sector move nothing; single sectors work.
    bool failRunsLongerThanOneSector = false;
    // A transfer moves at most this many bytes; 0 for no cap.
    std::uint64_t maxBytesPerCall = 0;
    // Every transfer moves nothing.
    bool moveNothing = false;
};

struct DiskFaults {
    TransferFaults read;
    TransferFaults write;
    bool readOnly = false;        // opens succeed, writes move nothing
    bool failEveryOpen = false;   // every open answers the invalid handle
    unsigned failFirstOpens = 0;  // that many opens fail first (1: the first open only)
    // A dying disk: after that many reads every read moves nothing; 0 never.
    unsigned readsBeforeDeath = 0;
    // A slow disk: each read takes this long.
    std::chrono::microseconds readTime{0};
};

struct MemoryDisk {
    std::uint64_t sectorCount = 0;
    std::map<std::uint64_t, std::array<std::uint8_t, kMemorySectorBytes>> sectors;
    DiskFaults faults;
    mutable unsigned readsSeen = 0;  // reads asked of the disk, for readsBeforeDeath
    // The BIOS geometry the disk library converts cylinder/head/sector with.
    std::uint32_t heads = 16;
    std::uint32_t sectorsPerTrack = 63;
    // What the extension check answers for the drive; 0 says the drive has
    // no extended interface, so the disk library addresses it by CHS.
    std::uint32_t int13Extensions = 0;
    std::uint64_t serial = 1;  // another serial: another device at the same place

    std::uint64_t SizeInBytes() const { return sectorCount * kMemorySectorBytes; }
};

// Transfers as the disk's faults allow them; they answer the bytes moved.
std::uint64_t ReadWithFaults(const MemoryDisk& disk, std::uint64_t offset, void* buffer,
                             std::uint64_t bytes);
std::uint64_t WriteWithFaults(MemoryDisk& disk, std::uint64_t offset, const void* buffer,
                              std::uint64_t bytes);

// Direct access that ignores the faults, for setting up and checking; both
// stop at the end of the disk.
std::vector<std::uint8_t> PeekBytes(const MemoryDisk& disk, std::uint64_t offset,
                                    std::uint64_t bytes);
void PokeBytes(MemoryDisk& disk, std::uint64_t offset, const std::vector<std::uint8_t>& bytes);

}  // namespace brovane

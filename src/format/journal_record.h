// The write journal's records. Each is a frame:
//   0  "BRVJ"                      4 bytes
//   4  kind (1 write, 2 done)      1 byte, then 3 bytes of 0
//   8  body length                 u32
//  12  body                        body length bytes
//  12+ CRC-32 of bytes 4 to the body's end (the ISO-HDLC one, as zlib's)
// A write's body: sequence u64, time i64 (seconds since 1970 UTC), the
// sequence of the write it undoes u64 (0: none), flags u8 (bit 0: the
// bytes before could not be read), the device (path length u16, path,
// size in bytes u64, device number u64, inode u64, flags u8 with bit 0 a
// block device), byte offset u64, length u32, the bytes before, the bytes
// after. A done mark's body: the write's sequence u64, result u8.
// All numbers little-endian. Decoding takes any bytes: a frame that is cut
// short, fails its checksum or holds a body that does not add up is
// reported and skipped, and the scan goes on at the next "BRVJ".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "format/little_endian.h"

namespace brovane {

inline constexpr std::uint32_t kMaxJournalUnitBytes = 1 << 20;  // a cluster is 64 KiB at most

struct JournalDevice {
    std::string path;
    std::uint64_t sizeBytes = 0;
    std::uint64_t deviceNumber = 0;  // st_rdev of a block device, st_dev of a file
    std::uint64_t inode = 0;         // a file's; 0 for a block device
    bool blockDevice = false;
    bool operator==(const JournalDevice&) const = default;
};

struct JournalWrite {
    std::uint64_t sequence = 0;
    std::int64_t time = 0;
    std::uint64_t undoes = 0;  // the sequence of the write this one takes back; 0 none
    bool beforeUnread = false;
    JournalDevice device;
    std::uint64_t offset = 0;  // bytes from the device's start
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;  // as long as before
    bool operator==(const JournalWrite&) const = default;
};

enum class WriteResult : std::uint8_t {
    kVerified = 1,  // written, and read back the same
    kDiffers = 2,   // written, but read back otherwise
    kFailed = 3,    // the transfer failed
};

struct JournalDone {
    std::uint64_t sequence = 0;
    WriteResult result = WriteResult::kVerified;
    bool operator==(const JournalDone&) const = default;
};

using JournalRecord = std::variant<JournalWrite, JournalDone>;

std::vector<std::uint8_t> EncodeJournalRecord(const JournalRecord& record);

struct JournalProblem {
    std::uint64_t offset = 0;  // of the bad frame in the journal
    std::string reason;
};

struct JournalScan {
    std::vector<JournalRecord> records;  // in the journal's order
    std::vector<JournalProblem> problems;
};

JournalScan DecodeJournal(ByteSpan bytes);

}  // namespace brovane

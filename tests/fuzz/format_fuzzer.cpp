// libFuzzer target for the FAT, directory and mapfile decoders. The input is
// split into a FAT type, a first cluster, a FAT image and directory data;
// every chain walk, entry decode and long-name assembly is checked against
// invariants (and against a plain walk that remembers every cluster). The
// whole input is also read as a ddrescue mapfile: a map it holds must be in
// order, written and read back the same, and stay so when a range is
// marked. It is read as a write journal too: each record it yields must
// encode and decode to itself. A broken invariant aborts.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/directory_entry.h"
#include "format/fat_chain.h"
#include "format/fat_entry.h"
#include "format/journal_record.h"
#include "format/little_endian.h"
#include "format/long_name.h"
#include "format/rescue_map.h"

namespace {

using brovane::ByteSpan;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Input {
    std::uint16_t fatType;
    std::uint32_t firstCluster;
    ByteSpan fatImage;
    ByteSpan directoryData;
};

// Byte 0 picks the type (now and then a code that is no FAT type), bytes 1-4
// the first cluster, bytes 5-6 the FAT's length; the FAT follows and the
// directory data is the rest.
Input Split(ByteSpan bytes) {
    constexpr std::uint16_t kCodes[] = {brovane::kFat12Code, brovane::kFat16Code,
                                        brovane::kFat32Code, 0};
    constexpr std::size_t kHeader = 7;
    Input input{};
    input.fatType = kCodes[brovane::ReadU8(bytes, 0) % 4];
    input.firstCluster = brovane::ReadU32(bytes, 1);
    const ByteSpan rest = brovane::SubSpan(bytes, kHeader, bytes.size());
    const std::size_t fatBytes = std::min<std::size_t>(brovane::ReadU16(bytes, 5), rest.size());
    input.fatImage = rest.first(fatBytes);
    input.directoryData = rest.subspan(fatBytes);
    return input;
}

// The chain as a walk that remembers every cluster it has seen, and how it ended.
std::vector<std::uint32_t> PlainChain(const Input& in, brovane::ChainEnd& how) {
    using brovane::ChainEnd;
    std::vector<std::uint32_t> chain;
    const std::uint32_t end = brovane::EndOfChain(in.fatType);
    std::uint32_t cluster = brovane::SignificantCluster(in.firstCluster, in.fatType);
    how = ChainEnd::kNoChain;
    if ((in.firstCluster & brovane::kFat32ClusterMask) == 0 || cluster == end || end == 0) {
        return chain;
    }
    std::set<std::uint32_t> seen;
    for (;;) {
        const auto entry = brovane::ReadFatEntry(cluster, in.fatType, in.fatImage);
        if (!entry || !seen.insert(cluster).second) {
            how = entry ? ChainEnd::kRepeat : ChainEnd::kPastFat;
            return chain;
        }
        chain.push_back(cluster);
        if (*entry == 0 || *entry == end) {
            how = *entry == 0 ? ChainEnd::kFreeEntry : ChainEnd::kEndMark;
            return chain;
        }
        cluster = *entry;
    }
}

void CheckChain(const Input& in) {
    const brovane::ChainWalk walk = brovane::WalkChain(in.firstCluster, in.fatType, in.fatImage);
    const std::uint32_t length = walk.length;
    brovane::ChainEnd how;
    const std::vector<std::uint32_t> expected = PlainChain(in, how);
    Require(length == expected.size() && walk.end == how);

    std::vector<std::uint32_t> list(length + 3, 0xDEADBEEF);
    Require(brovane::ListChain(in.firstCluster, in.fatType, list, in.fatImage) == length);
    Require(std::equal(expected.begin(), expected.end(), list.begin()));
    Require(std::all_of(list.begin() + length, list.end(), [](auto c) { return c == 0; }));

    std::vector<std::uint32_t> half(length / 2);
    Require(brovane::ListChain(in.firstCluster, in.fatType, half, in.fatImage) == half.size());
    Require(std::equal(half.begin(), half.end(), expected.begin()));
}

void CheckEntry(ByteSpan data, std::size_t index) {
    const brovane::DirectoryEntry entry = brovane::ReadDirectoryEntry(data, index);
    const ByteSpan bytes = brovane::DirectoryEntryBytes(data, index);
    Require(bytes.size() <= brovane::kDirectoryEntryBytes);
    Require(entry.attributes == brovane::ReadU8(bytes, 11));
    const auto name = brovane::ShortName(entry);
    Require(name[8] == '.' && name[brovane::kShortNameLength] == '\0');
    Require(static_cast<std::uint8_t>(name[0]) == brovane::ReadU8(bytes, 0));
    Require(brovane::StartCluster(entry, brovane::kFat16Code) == entry.firstClusterLow);
    Require(brovane::StartCluster(entry, brovane::kFat32Code) >> 16 == entry.firstClusterHigh);
}

void CheckLongName(ByteSpan data, std::size_t index, std::size_t capacity) {
    constexpr std::size_t kGuard = 16;
    std::array<char, brovane::kMaxLongNameBytes + kGuard> buffer;
    buffer.fill('\x7F');
    const std::uint16_t count =
        brovane::AssembleLongName(data, index, std::span<char>(buffer).first(capacity));
    Require(count <= brovane::kMaxLongNameBytes - 1);
    Require(std::all_of(buffer.begin() + capacity, buffer.end(), [](char c) { return c == 0x7F; }));
    const bool slotInFront = index > 0 && index <= brovane::DirectoryEntryCount(data) &&
                             brovane::IsLongNameSlot(brovane::ReadDirectoryEntry(data, index - 1));
    if (!slotInFront || capacity == 0) {
        Require(count == 0 && buffer[0] == 0x7F);
        return;
    }
    Require(count < capacity && buffer[count] == '\0');
    if (capacity == brovane::kMaxLongNameBytes) {
        Require(count >= 1);  // a slot gives at least its first byte
    }
}

void CheckDirectory(ByteSpan data, std::uint16_t salt) {
    const std::size_t count = brovane::DirectoryEntryCount(data);
    for (std::size_t index = 0; index <= count + 1; ++index) {
        CheckEntry(data, index);
        CheckLongName(data, index, brovane::kMaxLongNameBytes);
        CheckLongName(data, index, (index + salt) % brovane::kMaxLongNameBytes);
    }
}

// Blocks in order, none empty, none touching another of its status.
bool Ordered(const std::vector<brovane::RescueBlock>& blocks, bool joined) {
    for (std::size_t n = 0; n < blocks.size(); ++n) {
        if (blocks[n].size == 0 || blocks[n].End() < blocks[n].pos) {
            return false;
        }
        if (n > 0 && (blocks[n].pos < blocks[n - 1].End() ||
                      (joined && blocks[n].pos == blocks[n - 1].End() &&
                       blocks[n].status == blocks[n - 1].status))) {
            return false;
        }
    }
    return true;
}

void CheckRescueMap(ByteSpan bytes, std::uint64_t pos, std::uint64_t size) {
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::optional<brovane::RescueMap> map = brovane::ParseRescueMap(text, error);
    if (!map) {
        Require(!error.empty());
        return;
    }
    Require(Ordered(map->blocks, false));
    const std::optional<brovane::RescueMap> again =
        brovane::ParseRescueMap(brovane::FormatRescueMap(*map, {"fuzz"}), error);
    Require(again && again->blocks == map->blocks && again->currentPos == map->currentPos &&
            again->currentStatus == map->currentStatus && again->currentPass == map->currentPass);
    const std::vector<brovane::RescueBlock> before = map->blocks;
    brovane::MarkRange(map->blocks, pos, size, brovane::BlockStatus::kBad);
    Require(Ordered(map->blocks, true));
    for (std::uint64_t at : {pos, pos + size - 1, pos + size, pos - 1}) {
        const bool inside = at >= pos && at - pos < size;
        Require(brovane::StatusAt(map->blocks, at) ==
                (inside ? brovane::BlockStatus::kBad : brovane::StatusAt(before, at)));
    }
}

// The whole input as a write journal: every record it yields encodes to a
// frame that decodes to that record alone, and the records and problems
// together account for the input's frames in order.
void CheckJournal(ByteSpan bytes) {
    const brovane::JournalScan scan = brovane::DecodeJournal(bytes);
    std::uint64_t last = 0;
    for (const brovane::JournalProblem& problem : scan.problems) {
        Require(problem.offset < bytes.size() && (problem.offset >= last || last == 0));
        last = problem.offset;
    }
    for (const brovane::JournalRecord& record : scan.records) {
        const std::vector<std::uint8_t> frame = brovane::EncodeJournalRecord(record);
        const brovane::JournalScan again = brovane::DecodeJournal(frame);
        Require(again.problems.empty() && again.records.size() == 1 && again.records[0] == record);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input input = Split(ByteSpan(data, size));
    CheckChain(input);
    CheckDirectory(input.directoryData, static_cast<std::uint16_t>(input.firstCluster));
    // A range inside the first 2^32 bytes, of 1 to 2^16 bytes.
    CheckRescueMap(ByteSpan(data, size), input.firstCluster, input.fatImage.size() % 0xFFFF + 1u);
    CheckJournal(ByteSpan(data, size));
    return 0;
}

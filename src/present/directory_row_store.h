// The rows of the directory listing on screen, held in one block: each row's
// record followed directly by its long name and a zero byte, back to back in
// row order. A row is known by its index, the byte offset of its record in
// the block; the list keeps only that index, so a cell drawn for an index the
// store does not hold (a released store, a row from an earlier listing) finds
// no row instead of reaching memory that is gone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "format/directory_entry.h"
#include "format/little_endian.h"
#include "platform/platform.h"
#include "platform/platform_block.h"

namespace brovane {

inline constexpr std::uint16_t kNoEntryIndex = 0xFFFF;

struct DirectoryRow {
    // Name bytes, '.', extension bytes, as stored, then a zero byte.
    std::array<char, kShortNameLength + 1> shortName;
    std::uint8_t attributes;
    std::uint16_t modifiedTime;
    std::uint16_t modifiedDate;
    std::uint16_t createdDate;
    std::uint16_t accessedDate;
    // The entry's number in the directory's data; kNoEntryIndex from 65,535
    // on, past what a directory may hold (kept in the record's padding).
    std::uint16_t entryIndex;
    std::uint32_t startCluster;  // high word joined on FAT32 only
    std::uint32_t fileSize;
    // The text stored behind the record, up to its first zero byte; empty
    // when the entry has no long name. Valid while the store holds the row.
    std::string_view longName;
};

struct DirectoryRowStore {
    PlatformBlock block;
    std::size_t used = 0;  // bytes of the block holding rows
};

// The row's fields from its directory entry; the FAT type decides whether
// the high word of the first cluster counts. No long name.
DirectoryRow MakeDirectoryRow(const DirectoryEntry& entry, std::uint16_t fatType);

// The bytes a store needs so that a directory of that many sectors can never
// overrun it. Each listed entry takes one record, its long name and a zero
// byte, and a sector holds 16 entries; since a long name needs a slot in
// front of its entry, half of a record, the longest name and its zero byte
// for every entry is enough.
std::uint64_t DirectoryRowStoreBytes(std::uint64_t sectors);

// Releases the store held, then makes an empty one for a directory of that
// many sectors (0 sectors: a valid store of no rows). False, with no store,
// when it would exceed the largest block or the memory cannot be had.
bool MakeDirectoryRowStore(Platform& platform, DirectoryRowStore& store, std::uint64_t sectors);

// Releases the block and forgets it, so a second release does nothing.
void ReleaseDirectoryRowStore(DirectoryRowStore& store);

// Appends the row of entry entryIndex of the directory data, with the long
// name the slots in front of it give (never for entry 0), and answers the
// row's index; nothing when the store has no room left for it.
std::optional<std::uintptr_t> AppendDirectoryRow(DirectoryRowStore& store, const DirectoryRow& row,
                                                 ByteSpan directoryData, std::size_t entryIndex);

// The index of the n-th row (from 0) in the order the rows were appended,
// which is the order the listing shows them; nothing past the last.
std::optional<std::uintptr_t> NthDirectoryRow(const DirectoryRowStore& store, std::size_t n);

// The row at that index, with its long name; nothing when the store holds
// no row there.
std::optional<DirectoryRow> FindDirectoryRow(const DirectoryRowStore& store, std::uintptr_t index);

}  // namespace brovane

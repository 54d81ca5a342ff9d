#include "present/directory_row_store.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <type_traits>

#include "disk/memory_blocks.h"
#include "format/long_name.h"

namespace brovane {

namespace {

static_assert(std::is_trivially_copyable_v<DirectoryRow>);

// Records stand at any byte offset behind a name of any length, so they are
// copied in and out rather than addressed in place. The stored copy's
// longName is empty; the text behind the record is the name.
constexpr std::size_t kRecordBytes = sizeof(DirectoryRow);
constexpr std::size_t kEntriesPerSector = 16;

char* NameRoom(DirectoryRowStore& store) {
    return reinterpret_cast<char*>(store.block.data() + store.used + kRecordBytes);
}

}  // namespace

DirectoryRow MakeDirectoryRow(const DirectoryEntry& entry, std::uint16_t fatType) {
    return DirectoryRow{
        ShortName(entry),
        entry.attributes,
        entry.modifiedTime,
        entry.modifiedDate,
        entry.createdDate,
        entry.accessedDate,
        0,
        StartCluster(entry, fatType),
        entry.fileSize,
        {},
    };
}

// A row takes a record and a zero byte, plus a long name only when a slot
// stands directly in front of its entry; slots take no row. Counting that
// slot with the row, no entry ever needs more than half of a record, the
// longest name and its zero byte, however slots and entries are mixed.
std::uint64_t DirectoryRowStoreBytes(std::uint64_t sectors) {
    static_assert(kRecordBytes + 1 <= (kRecordBytes + kMaxLongNameBytes) / 2);
    return (sectors * kEntriesPerSector * (kRecordBytes + kMaxLongNameBytes) + 1) / 2;
}

bool MakeDirectoryRowStore(Platform& platform, DirectoryRowStore& store, std::uint64_t sectors) {
    ReleaseDirectoryRowStore(store);
    // Any sector count the 32-bit fields give keeps the product in 64 bits.
    if (sectors > UINT32_MAX || DirectoryRowStoreBytes(sectors) > kMaxBlockBytes) {
        return false;
    }
    store.block = PlatformBlock::Allocate(
        platform, static_cast<std::size_t>(DirectoryRowStoreBytes(sectors)));
    return static_cast<bool>(store.block);
}

void ReleaseDirectoryRowStore(DirectoryRowStore& store) {
    store.block.Release();
    store.used = 0;
}

std::optional<std::uintptr_t> AppendDirectoryRow(DirectoryRowStore& store, const DirectoryRow& row,
                                                 ByteSpan directoryData, std::size_t entryIndex) {
    const std::size_t room = store.block.size() - store.used;
    if (room < kRecordBytes + 1) {
        return std::nullopt;
    }
    std::span<char> name(NameRoom(store), std::min(room - kRecordBytes, kMaxLongNameBytes));
    const std::size_t length =
        entryIndex == 0 ? 0 : AssembleLongName(directoryData, entryIndex, name);
    if (length == 0) {
        name[0] = '\0';
    }
    DirectoryRow stored = row;
    stored.longName = {};
    stored.entryIndex =
        static_cast<std::uint16_t>(std::min<std::size_t>(entryIndex, kNoEntryIndex));
    std::memcpy(store.block.data() + store.used, &stored, kRecordBytes);
    const std::uintptr_t index = store.used;
    store.used += kRecordBytes + length + 1;
    return index;
}

std::optional<DirectoryRow> FindDirectoryRow(const DirectoryRowStore& store, std::uintptr_t index) {
    if (index >= store.used || store.used - index < kRecordBytes + 1) {
        return std::nullopt;
    }
    DirectoryRow row;
    std::memcpy(&row, store.block.data() + index, kRecordBytes);
    const char* name = reinterpret_cast<const char*>(store.block.data() + index + kRecordBytes);
    const char* end = reinterpret_cast<const char*>(store.block.data() + store.used);
    row.longName =
        std::string_view(name, static_cast<std::size_t>(std::find(name, end, '\0') - name));
    return row;
}

std::optional<std::uintptr_t> NthDirectoryRow(const DirectoryRowStore& store, std::size_t n) {
    std::uintptr_t index = 0;
    for (std::size_t row = 0; row < n; ++row) {
        const std::optional<DirectoryRow> found = FindDirectoryRow(store, index);
        if (!found) {
            return std::nullopt;
        }
        // A name may keep the 0 its last slot gave besides its own zero
        // byte; a record never begins with one (its short name's first byte).
        index += kRecordBytes + found->longName.size();
        while (index < store.used && store.block.data()[index] == 0) {
            ++index;
        }
    }
    return FindDirectoryRow(store, index) ? std::optional<std::uintptr_t>(index) : std::nullopt;
}

}  // namespace brovane

#include "format/directory_entry.h"

#include "format/fat_entry.h"

namespace brovane {

namespace {

enum EntryOffset : std::size_t {
    kName = 0,
    kExtension = 8,
    kAttributes = 11,
    kCaseFlags = 12,
    kCreatedDate = 16,
    kAccessedDate = 18,
    kFirstClusterHigh = 20,
    kModifiedTime = 22,
    kModifiedDate = 24,
    kFirstClusterLow = 26,
    kFileSize = 28,
};

template <std::size_t N>
std::array<std::uint8_t, N> ReadBytes(ByteSpan bytes, std::size_t offset) {
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = ReadU8(bytes, offset + i);
    }
    return out;
}

}  // namespace

std::size_t DirectoryEntryCount(ByteSpan directoryData) {
    return directoryData.size() / kDirectoryEntryBytes;
}

ByteSpan DirectoryEntryBytes(ByteSpan directoryData, std::size_t index) {
    if (index >= directoryData.size() / kDirectoryEntryBytes + 1) {
        return {};  // also keeps index * 32 from wrapping
    }
    return SubSpan(directoryData, index * kDirectoryEntryBytes, kDirectoryEntryBytes);
}

DirectoryEntry ReadDirectoryEntry(ByteSpan directoryData, std::size_t index) {
    const ByteSpan entry = DirectoryEntryBytes(directoryData, index);
    return DirectoryEntry{
        ReadBytes<8>(entry, kName),        ReadBytes<3>(entry, kExtension),
        ReadU8(entry, kAttributes),        ReadU8(entry, kCaseFlags),
        ReadU16(entry, kCreatedDate),      ReadU16(entry, kAccessedDate),
        ReadU16(entry, kFirstClusterHigh), ReadU16(entry, kModifiedTime),
        ReadU16(entry, kModifiedDate),     ReadU16(entry, kFirstClusterLow),
        ReadU32(entry, kFileSize),
    };
}

bool IsLongNameSlot(std::uint8_t attributes) {
    return (attributes & kLongNameSlotBits) == kLongNameSlotBits;
}

bool IsLongNameSlot(const DirectoryEntry& entry) {
    return IsLongNameSlot(entry.attributes);
}

bool IsEndOfDirectory(const DirectoryEntry& entry) {
    return entry.name[0] == kEndOfDirectoryMark;
}

bool IsDeleted(const DirectoryEntry& entry) {
    return entry.name[0] == kDeletedMark || entry.name[0] == kDeletedMarkAlias;
}

bool IsDotEntry(const DirectoryEntry& entry) {
    return (entry.attributes & kAttrDirectory) != 0 && entry.name[0] == '.';
}

std::array<char, kShortNameLength + 1> ShortName(const DirectoryEntry& entry) {
    std::array<char, kShortNameLength + 1> text{};
    std::size_t at = 0;
    for (std::uint8_t byte : entry.name) {
        text[at++] = static_cast<char>(byte);
    }
    text[at++] = '.';
    for (std::uint8_t byte : entry.extension) {
        text[at++] = static_cast<char>(byte);
    }
    return text;
}

std::uint32_t StartCluster(const DirectoryEntry& entry, std::uint16_t fatType) {
    const std::uint32_t high = fatType == kFat32Code ? entry.firstClusterHigh : 0u;
    return high << 16 | entry.firstClusterLow;
}

}  // namespace brovane

#include "format/long_name.h"

#include <array>

#include "format/directory_entry.h"

namespace brovane {

namespace {

constexpr std::size_t kSequence = 0;
constexpr std::array<std::size_t, kLongNameSlotChars> kCharOffsets = {1,  3,  5,  7,  9,  14, 16,
                                                                      18, 20, 22, 24, 28, 30};

// Appends bytes to the destination while leaving room for the final zero.
class NameWriter {
  public:
    explicit NameWriter(std::span<char> destination) : destination_(destination) {}

    bool Full() const { return count_ + 1 >= destination_.size(); }

    void Append(std::uint8_t byte) { destination_[count_++] = static_cast<char>(byte); }
    std::uint16_t Count() const { return static_cast<std::uint16_t>(count_); }
    char Last() const { return count_ == 0 ? '\0' : destination_[count_ - 1]; }

    std::uint16_t Finish() {
        destination_[count_] = '\0';
        return static_cast<std::uint16_t>(count_);
    }

  private:
    std::span<char> destination_;
    std::size_t count_ = 0;
};

// One slot's characters, up to and including a 0 byte.
void TakeSlot(ByteSpan slot, NameWriter& writer) {
    for (std::size_t offset : kCharOffsets) {
        if (writer.Full()) {
            return;
        }
        const std::uint8_t byte = ReadU8(slot, offset);
        writer.Append(byte);
        if (byte == 0) {
            return;
        }
    }
}

constexpr std::size_t kChecksum = 13;
constexpr std::size_t kShortNameBytes = 11;

// True when the slots' checksum is that of the short name with some first byte.
bool ChecksumFitsSomeFirstByte(ByteSpan entry, std::uint8_t checksum) {
    std::array<std::uint8_t, kShortNameBytes> name{};
    for (std::size_t i = 0; i < name.size(); ++i) {
        name[i] = ReadU8(entry, i);
    }
    for (unsigned first = 0; first < 256; ++first) {
        name[0] = static_cast<std::uint8_t>(first);
        if (ShortNameChecksum(name) == checksum) {
            return true;
        }
    }
    return false;
}

bool EndsName(ByteSpan slot) {
    return (ReadU8(slot, kSequence) & kLastSlotBit) != 0;
}

}  // namespace

std::uint16_t AssembleLongName(ByteSpan directoryData, std::size_t entryIndex,
                               std::span<char> destination) {
    if (entryIndex == 0 || entryIndex > DirectoryEntryCount(directoryData) || destination.empty()) {
        return 0;
    }
    std::size_t index = entryIndex - 1;
    if (!IsLongNameSlot(ReadDirectoryEntry(directoryData, index))) {
        return 0;
    }
    NameWriter writer(destination);
    for (std::size_t slots = 0; slots < kMaxLongNameSlots; ++slots) {
        const ByteSpan slot = DirectoryEntryBytes(directoryData, index);
        TakeSlot(slot, writer);
        if (EndsName(slot) || index == 0) {
            break;
        }
        --index;
    }
    return writer.Finish();
}

std::uint8_t ShortNameChecksum(ByteSpan elevenBytes) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kShortNameBytes; ++i) {
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + ReadU8(elevenBytes, i));
    }
    return sum;
}

std::uint16_t AssembleDeletedLongName(ByteSpan directoryData, std::size_t entryIndex,
                                      std::span<char> destination) {
    if (entryIndex == 0 || entryIndex > DirectoryEntryCount(directoryData) || destination.empty()) {
        return 0;
    }
    std::size_t index = entryIndex - 1;
    const ByteSpan first = DirectoryEntryBytes(directoryData, index);
    const std::uint8_t checksum = ReadU8(first, kChecksum);
    if (!IsLongNameSlot(ReadDirectoryEntry(directoryData, index)) ||
        !ChecksumFitsSomeFirstByte(DirectoryEntryBytes(directoryData, entryIndex), checksum)) {
        return 0;
    }
    NameWriter writer(destination);
    for (std::size_t slots = 0; slots < kMaxLongNameSlots; ++slots) {
        const ByteSpan slot = DirectoryEntryBytes(directoryData, index);
        if (!IsLongNameSlot(ReadDirectoryEntry(directoryData, index)) ||
            ReadU8(slot, kChecksum) != checksum) {
            break;
        }
        const std::uint16_t before = writer.Count();
        TakeSlot(slot, writer);
        if (writer.Count() == before || writer.Last() == 0 || index == 0) {
            break;
        }
        --index;
    }
    return writer.Finish();
}

}  // namespace brovane

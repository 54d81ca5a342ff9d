// Long file names, collected from the long-name slots that stand in front of
// a short directory entry. Text is 8-bit: each UTF-16 code unit gives its
// low byte only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "format/little_endian.h"

namespace brovane {

inline constexpr std::size_t kLongNameSlotChars = 13;
// A 255-character name uses 20 slots; no name is taken from more.
inline constexpr std::size_t kMaxLongNameSlots = 20;
// Room for the longest name and its final zero byte.
inline constexpr std::size_t kMaxLongNameBytes = kMaxLongNameSlots * kLongNameSlotChars + 1;
// Sequence-byte bit of the slot that holds the end of the name.
inline constexpr std::uint8_t kLastSlotBit = 0x40;

// The long name of entry `entryIndex` of the directory data. The slots are
// taken from the one directly in front of the entry backwards: 13 low bytes
// from each, where a 0 byte is appended and ends that slot's characters.
// The walk stops after a slot with bit 0x40 in its sequence byte, at the
// first entry of the data, or after 20 slots; slots after the first are
// taken whatever their attribute byte. A final zero byte follows.
//
// Answers the number of bytes taken from the slots (a 0 taken from a slot
// included, the final zero not). Answers 0 and writes nothing when the entry
// in front is not a long-name slot, when entryIndex is 0 or the entry in
// front lies past the data, or when the destination is empty. The
// destination should hold kMaxLongNameBytes; a smaller one is filled to its
// last byte, which then holds the final zero.
std::uint16_t AssembleLongName(ByteSpan directoryData, std::size_t entryIndex,
                               std::span<char> destination);

// The checksum each long-name slot keeps (byte 13) of its entry's eleven
// short-name bytes.
std::uint8_t ShortNameChecksum(ByteSpan elevenBytes);

// The long name of a deleted entry, whose slots lost their sequence bytes
// to the deletion mark: slots are taken back from the one in front of the
// entry while each is a long-name slot with the checksum of the first, at
// most 20, until a slot gives a 0 byte. The slots count as intact only when
// their checksum is that of the entry's short name with some first byte
// (the one the mark replaced); otherwise, and where AssembleLongName would
// take none, answers 0 and writes nothing. Else as AssembleLongName.
std::uint16_t AssembleDeletedLongName(ByteSpan directoryData, std::size_t entryIndex,
                                      std::span<char> destination);

}  // namespace brovane

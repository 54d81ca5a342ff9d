#include "imagebuilder/long_name.h"

#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder {

namespace {

// Slot offsets: sequence byte, the three runs of characters, attributes,
// type, checksum and the zero cluster field.
constexpr std::size_t kSlotSequence = 0;
constexpr std::size_t kSlotAttributes = 11;
constexpr std::size_t kSlotChecksum = 13;
constexpr std::array<std::size_t, kSlotChars> kCharOffsets{1,  3,  5,  7,  9,  14, 16,
                                                           18, 20, 22, 24, 28, 30};

// Length of the UTF-8 sequence a lead byte starts, 0 when it starts none.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    return (lead & 0xF8) == 0xF0 ? 4 : 0;
}

bool DecodeCodePoint(std::string_view text, std::size_t& at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size()) {
        return false;
    }
    code = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    at += length;
    return code <= 0x10FFFF;
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

RawEntry MakeSlot(std::u16string_view name, std::size_t index, bool last, std::uint8_t checksum) {
    RawEntry slot{};
    PutU8(slot, kSlotSequence, static_cast<std::uint8_t>((index + 1) | (last ? kLastSlotFlag : 0)));
    PutU8(slot, kSlotAttributes, kLongNameAttributes);
    PutU8(slot, kSlotChecksum, checksum);
    for (std::size_t i = 0; i < kSlotChars; ++i) {
        const std::size_t at = index * kSlotChars + i;
        const char16_t unit = at < name.size() ? name[at] : (at == name.size() ? 0x0000 : 0xFFFF);
        PutU16(slot, kCharOffsets[i], unit);
    }
    return slot;
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        if (!DecodeCodePoint(text, at, code)) {
            return std::nullopt;
        }
        AppendUtf16(out, code);
    }
    return out;
}

std::vector<RawEntry> LongNameSlots(std::u16string_view name, std::uint8_t checksum) {
    const std::size_t count = (name.size() + kSlotChars - 1) / kSlotChars;
    std::vector<RawEntry> slots;
    for (std::size_t index = count; index-- > 0;) {
        slots.push_back(MakeSlot(name, index, index + 1 == count, checksum));
    }
    return slots;
}

}  // namespace brovane::imagebuilder

#include "format/long_name.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "format/directory_entry.h"
#include "format_test_bytes.h"

namespace brovane {
namespace {

using test::Bytes;

struct Assembled {
    std::uint16_t count;
    std::string text;  // up to the first zero byte
};

Assembled Assemble(const Bytes& data, std::size_t entryIndex) {
    std::array<char, kMaxLongNameBytes> name;
    name.fill('#');
    const std::uint16_t count = AssembleLongName(data, entryIndex, name);
    EXPECT_LE(count, kMaxLongNameBytes - 1);
    if (count == 0) {
        return {0, name[0] == '#' ? "(untouched)" : "(written)"};
    }
    EXPECT_EQ(name[count], '\0') << "final zero";
    return {count, std::string(name.data())};
}

TEST(LongNameTest, SlotsComeOutInOrderNearestTheEntryFirst) {
    Bytes data(8 * 32, 0);
    test::PutShortEntry(data, 0, "FIRST   TXT", 0);
    test::PutSlot(data, 1, 0x41, "readme.txt");
    test::PutShortEntry(data, 2, "README  TXT", 0);
    data[32 + 1 + 1] = 0x01;  // 'r' as U+0172: the high byte is dropped
    const Assembled readme = Assemble(data, 2);
    EXPECT_EQ(readme.text, "readme.txt");
    EXPECT_EQ(readme.count, 11);  // with the zero taken from the slot

    // Slots nearest the entry come first; a full slot needs no zero.
    test::PutSlot(data, 0, 0x43, "0");
    test::PutSlot(data, 1, 0x02, "nopqrstuvwxyz");
    test::PutSlot(data, 2, 0x01, "abcdefghijklm");
    EXPECT_EQ(Assemble(data, 3).text, "abcdefghijklmnopqrstuvwxyz0");
}

TEST(LongNameTest, WalkStopsAtTheSequenceBitOrTheFirstEntryOfTheData) {
    Bytes data(4 * 32, 0);
    test::PutSlot(data, 0, 0x42, "second part");
    test::PutSlot(data, 1, 0xE5, "deleted file name");
    EXPECT_EQ(Assemble(data, 2).text, "deleted file ");  // 0xE5 has bit 0x40
    test::PutSlot(data, 1, 0xFF, "abc");
    EXPECT_EQ(Assemble(data, 2).text, "abc");

    test::PutSlot(data, 0, 0x02, "0123456789ABC");
    test::PutSlot(data, 1, 0x01, "abcdefghijklm");
    const Assembled name = Assemble(data, 2);
    EXPECT_EQ(name.text, "abcdefghijklm0123456789ABC");
    EXPECT_EQ(name.count, 26);
}

TEST(LongNameTest, EntriesInFrontAreTakenWhateverTheirAttributes) {
    Bytes data(3 * 32, 0);
    test::PutShortEntry(data, 0, "XYZ        ", kAttrArchive);
    test::PutSlot(data, 1, 0x01, "abcdefghijklm");
    // From a short entry the character offsets 1, 3, 5, 7, 9 read 'Y', ' ', ...
    // and offset 14 reads a 0 byte.
    EXPECT_EQ(Assemble(data, 2).text, "abcdefghijklmY    ");
}

// At most twenty slots, and no more than the destination holds.
TEST(LongNameTest, AtMostTwentySlotsAndASmallDestinationIsNotOverrun) {
    Bytes data(26 * 32, 0);
    for (std::size_t i = 0; i < 25; ++i) {
        test::PutSlot(data, i, 0x01, "ABCDEFGHIJKLM");
    }
    std::array<char, 2 * kMaxLongNameBytes> roomy;
    roomy.fill('#');
    EXPECT_EQ(AssembleLongName(data, 25, roomy), 20 * 13);
    EXPECT_EQ(roomy[20 * 13], '\0');
    EXPECT_EQ(roomy[20 * 13 + 1], '#');

    test::PutSlot(data, 0, 0x41, "abcdefgh");
    std::array<char, 8> buffer;
    buffer.fill('#');
    EXPECT_EQ(AssembleLongName(data, 1, std::span<char>(buffer).first(5)), 4);
    EXPECT_EQ(std::string(buffer.data(), 8), std::string("abcd\0###", 8));
    EXPECT_EQ(AssembleLongName(data, 1, std::span<char>(buffer).first(0)), 0);
}

TEST(LongNameTest, NoNameWithoutASlotInFront) {
    Bytes data(3 * 32, 0);
    test::PutSlot(data, 0, 0x41, "name");
    test::PutShortEntry(data, 1, "NAME       ", 0);
    EXPECT_EQ(Assemble(data, 2).text, "(untouched)");
    EXPECT_EQ(Assemble(data, 0).text, "(untouched)");
    EXPECT_EQ(Assemble(data, 4).text, "(untouched)");  // its front lies past the data
    EXPECT_EQ(Assemble(data, 1).text, "name");
}

}  // namespace
}  // namespace brovane

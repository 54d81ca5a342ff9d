#include "format/directory_entry.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "format/fat_entry.h"
#include "format_test_bytes.h"

namespace brovane {
namespace {

using test::Bytes;

std::string Text(const std::array<char, kShortNameLength + 1>& name) {
    return std::string(name.data());
}

TEST(DirectoryEntryTest, FieldsAtTheirOffsets) {
    Bytes data(64, 0);
    test::PutShortEntry(data, 1, "README  TXT", kAttrArchive | kAttrReadOnly);
    test::PutU16(data, 32 + 16, 0x1111);
    test::PutU16(data, 32 + 18, 0x2222);
    test::PutU16(data, 32 + 20, 0x0001);
    test::PutU16(data, 32 + 22, 0x4444);
    test::PutU16(data, 32 + 24, 0x5555);
    test::PutU16(data, 32 + 26, 0x2345);
    test::PutU32(data, 32 + 28, 0x87654321);

    const DirectoryEntry entry = ReadDirectoryEntry(data, 1);
    EXPECT_EQ(entry.attributes, 0x21);
    EXPECT_EQ(entry.createdDate, 0x1111);
    EXPECT_EQ(entry.accessedDate, 0x2222);
    EXPECT_EQ(entry.modifiedTime, 0x4444);
    EXPECT_EQ(entry.modifiedDate, 0x5555);
    EXPECT_EQ(entry.fileSize, 0x87654321u);
    EXPECT_EQ(Text(ShortName(entry)), "README  .TXT");
    // The high word joins on FAT32 only.
    EXPECT_EQ(StartCluster(entry, kFat32Code), 0x00012345u);
    EXPECT_EQ(StartCluster(entry, kFat16Code), 0x00002345u);
    EXPECT_EQ(StartCluster(entry, kFat12Code), 0x00002345u);
}

TEST(DirectoryEntryTest, FirstByteAndAttributeTests) {
    Bytes data(6 * 32, 0);
    test::PutShortEntry(data, 0,
                        "\xE5"
                        "EADME  TXT",
                        kAttrArchive);
    test::PutShortEntry(data, 1,
                        "\x05"
                        "ABC    DAT",
                        0);
    test::PutShortEntry(data, 2, "..         ", kAttrDirectory);
    test::PutShortEntry(data, 3, ".PROFILE   ", kAttrArchive);
    test::PutShortEntry(data, 4, "", 0x3F);
    data[4 * 32] = 0;  // a slot whose first byte is 0
    test::PutShortEntry(data, 5, "LABEL      ", 0x0E);

    const DirectoryEntry deleted = ReadDirectoryEntry(data, 0);
    EXPECT_TRUE(IsDeleted(deleted));
    EXPECT_EQ(Text(ShortName(deleted)),
              "\xE5"
              "EADME  .TXT");
    EXPECT_TRUE(IsDeleted(ReadDirectoryEntry(data, 1)));
    EXPECT_TRUE(IsDotEntry(ReadDirectoryEntry(data, 2)));
    EXPECT_FALSE(IsDotEntry(ReadDirectoryEntry(data, 3)));  // not a directory
    EXPECT_FALSE(IsDeleted(ReadDirectoryEntry(data, 3)));

    const DirectoryEntry slot = ReadDirectoryEntry(data, 4);
    EXPECT_TRUE(IsLongNameSlot(slot));
    EXPECT_TRUE(IsEndOfDirectory(slot));  // the walks test for a slot first
    EXPECT_FALSE(IsLongNameSlot(ReadDirectoryEntry(data, 5)));
    EXPECT_TRUE(IsLongNameSlot(std::uint8_t{0x0F}));
}

TEST(DirectoryEntryTest, NothingIsReadPastTheData) {
    Bytes data(70, 0x41);  // two whole entries and 6 bytes of a third
    EXPECT_EQ(DirectoryEntryCount(data), 2u);
    EXPECT_EQ(DirectoryEntryBytes(data, 2).size(), 6u);

    const DirectoryEntry partial = ReadDirectoryEntry(data, 2);
    EXPECT_EQ(Text(ShortName(partial)), "AAAAAA");
    EXPECT_EQ(partial.attributes, 0);

    for (std::size_t index : {std::size_t{3}, std::numeric_limits<std::size_t>::max()}) {
        EXPECT_TRUE(DirectoryEntryBytes(data, index).empty());
        EXPECT_TRUE(IsEndOfDirectory(ReadDirectoryEntry(data, index)));
    }
}

}  // namespace
}  // namespace brovane

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
    for (auto [offset, value] :
         {std::pair{16, 0x22221111u}, {20, 0x44440001u}, {24, 0x23455555u}, {28, 0x87654321u}}) {
        test::PutU32(data, 32 + offset, value);
    }

    const DirectoryEntry entry = ReadDirectoryEntry(data, 1);
    EXPECT_EQ(std::tuple(unsigned{entry.attributes}, unsigned{entry.createdDate},
                         unsigned{entry.accessedDate}, unsigned{entry.modifiedTime},
                         unsigned{entry.modifiedDate}, entry.fileSize),
              std::tuple(0x21u, 0x1111u, 0x2222u, 0x4444u, 0x5555u, 0x87654321u));
    EXPECT_EQ(Text(ShortName(entry)), "README  .TXT");
    // The high word joins on FAT32 only.
    EXPECT_EQ(StartCluster(entry, kFat32Code), 0x00012345u);
    EXPECT_EQ(StartCluster(entry, kFat16Code), 0x00002345u);
    EXPECT_EQ(StartCluster(entry, kFat12Code), 0x00002345u);
}

TEST(DirectoryEntryTest, FirstByteAndAttributeTests) {
    Bytes data(6 * 32, 0);
    test::PutShortEntry(data, 0, "\345EADME  TXT", kAttrArchive);
    test::PutShortEntry(data, 1, "\005ABC    DAT", 0);
    test::PutShortEntry(data, 2, "..         ", kAttrDirectory);
    test::PutShortEntry(data, 3, ".PROFILE   ", kAttrArchive);
    test::PutShortEntry(data, 4, "", 0x3F);
    data[4 * 32] = 0;  // a slot whose first byte is 0
    test::PutShortEntry(data, 5, "LABEL      ", 0x0E);

    const DirectoryEntry deleted = ReadDirectoryEntry(data, 0);
    EXPECT_TRUE(IsDeleted(deleted));
    EXPECT_EQ(Text(ShortName(deleted)), "\345EADME  .TXT");
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

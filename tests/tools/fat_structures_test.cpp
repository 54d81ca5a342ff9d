// FAT entries, names and long-name slots, boot records and layouts.
#include <gtest/gtest.h>

#include "image_test_support.h"
#include "imagebuilder/boot_record.h"
#include "imagebuilder/fat_table.h"
#include "imagebuilder/long_name.h"
#include "imagebuilder/short_name.h"

namespace brovane::imagebuilder::test {
namespace {

TEST(FatTable, Fat12EntriesShareBytesWithoutDisturbingTheirNeighbours) {
    FatTable fat = MakeFatTable(FatKind::Fat12, 1);
    SetFatEntry(fat, 2, 0x003);
    SetFatEntry(fat, 3, 0x004);
    EXPECT_EQ(fat.bytes[3], 0x03);
    EXPECT_EQ(fat.bytes[4], 0x40);
    EXPECT_EQ(fat.bytes[5], 0x00);
    SetFatEntry(fat, 3, 0xABC);
    SetFatEntry(fat, 4, 0xFFF);
    EXPECT_EQ(GetFatEntry(fat, 2), 0x003u);
    EXPECT_EQ(GetFatEntry(fat, 3), 0xABCu);
    EXPECT_EQ(GetFatEntry(fat, 4), 0xFFFu);
}

TEST(FatTable, ChainsEndWithTheTypesMarkAndEntriesPastTheImageAreDropped) {
    FatTable fat32 = MakeFatTable(FatKind::Fat32, 1);
    const std::vector<std::uint32_t> chain{5, 9, 6};
    WriteChain(fat32, chain);
    EXPECT_EQ(GetFatEntry(fat32, 5), 9u);
    EXPECT_EQ(GetFatEntry(fat32, 9), 6u);
    EXPECT_EQ(GetFatEntry(fat32, 6), 0x0FFFFFFFu);
    SetFatEntry(fat32, 7, 0xF0000008);
    EXPECT_EQ(GetFatEntry(fat32, 7), 8u);  // top four bits are not part of the entry
    EXPECT_EQ(GetU32(fat32.bytes, 28), 0xF0000008u);

    FatTable fat16 = MakeFatTable(FatKind::Fat16, 1);  // 256 entries
    SetFatEntry(fat16, 256, 0x1234);
    EXPECT_EQ(fat16.bytes.size(), 512u);
    EXPECT_EQ(GetFatEntry(fat16, 256), 0u);
    WriteReservedEntries(fat16, 0xF8);
    EXPECT_EQ(GetU16(fat16.bytes, 0), 0xFFF8);
    EXPECT_EQ(GetU16(fat16.bytes, 2), 0xFFFF);
}

TEST(ShortName, PadsNameAndExtensionAndRejectsWhatAnEntryCannotHold) {
    ShortName name{};
    std::string error;
    ASSERT_TRUE(ParseShortName("report.txt", name, error));
    EXPECT_EQ(std::string(name.begin(), name.end()), "REPORT  TXT");
    ASSERT_TRUE(ParseShortName("A", name, error));
    EXPECT_EQ(std::string(name.begin(), name.end()), "A          ");
    ASSERT_TRUE(ParseShortName("..", name, error));
    EXPECT_EQ(std::string(name.begin(), name.end()), "..         ");
    EXPECT_FALSE(ParseShortName("TOOLONGNAME.TXT", name, error));
    EXPECT_FALSE(ParseShortName("A.TEXT", name, error));
    EXPECT_FALSE(ParseShortName("A.B.C", name, error));
    EXPECT_FALSE(ParseShortName("SP ACE", name, error));
    EXPECT_FALSE(ParseShortName(".TXT", name, error));
}

std::u16string SlotChars(const RawEntry& slot) {
    std::u16string chars;
    for (const std::size_t at : {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30}) {
        chars.push_back(static_cast<char16_t>(GetU16(slot, at)));
    }
    return chars;
}

TEST(LongName, SlotsStandLastFirstWithSequenceNumbersTerminatorAndPadding) {
    const std::u16string name = u"Quarterly report of 2024.txt";  // 28 units: 3 slots
    const auto slots = LongNameSlots(name, 0x5A);
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots[0][0], 0x43);
    EXPECT_EQ(slots[1][0], 0x02);
    EXPECT_EQ(slots[2][0], 0x01);
    for (const RawEntry& slot : slots) {
        EXPECT_EQ(slot[11], 0x0F);
        EXPECT_EQ(slot[13], 0x5A);
        EXPECT_EQ(GetU16(slot, 26), 0);
    }
    EXPECT_EQ(SlotChars(slots[2]), name.substr(0, 13));
    EXPECT_EQ(SlotChars(slots[1]), name.substr(13, 13));
    EXPECT_EQ(SlotChars(slots[0]),
              (std::u16string{u'x', u't', 0x0000} + std::u16string(10, char16_t{0xFFFF})));
    // A name that fills its slot exactly has no terminator.
    const auto exact = LongNameSlots(u"ABCDEFGHIJKLM", 0);
    ASSERT_EQ(exact.size(), 1u);
    EXPECT_EQ(exact[0][0], 0x41);
    EXPECT_EQ(SlotChars(exact[0]), u"ABCDEFGHIJKLM");
}

TEST(LongName, Utf8BecomesUtf16WithSurrogatesAndBadInputIsRefused) {
    EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9"), std::u16string(u"caf\u00E9"));
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), std::u16string(u"\u20AC"));
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
    EXPECT_FALSE(Utf8ToUtf16("\xC3"));
    EXPECT_FALSE(Utf8ToUtf16("\xC3\x28"));
    EXPECT_FALSE(Utf8ToUtf16("\xFF"));
}

TEST(VolumeLayout, StandardFloppyAndAnExplicitFatSize) {
    FatVolume floppy;
    floppy.kind = FatKind::Fat12;
    floppy.totalSectors = 2880;
    floppy.sectorsPerCluster = 1;
    floppy.rootEntryCount = 224;
    VolumeLayout layout;
    std::string error;
    ASSERT_TRUE(ComputeLayout(floppy, layout, error)) << error;
    EXPECT_EQ(layout.sectorsPerFat, 9u);
    EXPECT_EQ(layout.rootDirSector, 19u);
    EXPECT_EQ(layout.rootDirSectors, 14u);
    EXPECT_EQ(layout.firstDataSector, 33u);
    EXPECT_EQ(layout.clusterCount, 2847u);

    FatVolume volume;
    volume.totalSectors = 60000;
    volume.reservedSectors = 4;
    volume.sectorsPerFat = 200;
    ASSERT_TRUE(ComputeLayout(volume, layout, error)) << error;
    EXPECT_EQ(layout.rootDirSector, 404u);
    EXPECT_EQ(layout.firstDataSector, 436u);
    EXPECT_EQ(layout.ClusterSector(10, volume.sectorsPerCluster), 436u + 8 * 4);

    volume.sectorsPerFat = 10;  // 2560 entries for some 14900 clusters
    EXPECT_FALSE(ComputeLayout(volume, layout, error));
    volume.sectorsPerFat = 0;
    volume.sectorsPerCluster = 0;
    EXPECT_FALSE(ComputeLayout(volume, layout, error));
}

TEST(BootRecord, Fat16FieldsAtTheirOffsets) {
    Disk disk = Fat16Disk();
    disk.volumes[0].entries.push_back(LabelEntry("MYLABEL"));
    const SparseImage image = Build(disk);
    const auto boot = SectorAt(image, 2048);
    VolumeLayout layout;
    std::string error;
    ASSERT_TRUE(ComputeLayout(disk.volumes[0], layout, error));
    EXPECT_EQ(GetU16(boot, kBootBytesPerSector), 512);
    EXPECT_EQ(boot[kBootSectorsPerCluster], 2);
    EXPECT_EQ(GetU16(boot, kBootReservedSectors), 1);
    EXPECT_EQ(boot[kBootFatCount], 2);
    EXPECT_EQ(GetU16(boot, kBootRootEntryCount), 512);
    EXPECT_EQ(GetU16(boot, kBootTotalSectors16), 16000);
    EXPECT_EQ(GetU32(boot, kBootTotalSectors32), 0u);
    EXPECT_EQ(boot[kBootMedia], 0xF8);
    EXPECT_EQ(GetU16(boot, kBootSectorsPerFat16), layout.sectorsPerFat);
    EXPECT_EQ(GetU16(boot, kBootSectorsPerTrack), 63);
    EXPECT_EQ(GetU16(boot, kBootHeads), 255);
    EXPECT_EQ(GetU32(boot, kBootHiddenSectors), 2048u);
    EXPECT_EQ(boot[kExtendedBpb16 + kExtBootSignature], 0x29);
    EXPECT_EQ(TextAt(boot, kExtendedBpb16 + kExtVolumeLabel, 11), "MYLABEL    ");
    EXPECT_EQ(TextAt(boot, kExtendedBpb16 + kExtFsType, 8), "FAT16   ");
    EXPECT_EQ(GetU16(boot, kBootSignature), 0xAA55);
}

TEST(BootRecord, Fat32KeepsBackupAndFsInfoWhileDamageHitsThePrimaryOnly) {
    Disk disk = Fat32Disk();
    FatVolume& volume = disk.volumes[0];
    volume.entries.push_back(FileEntry("/A.TXT", std::string(700, 'a')));
    for (const char* field :
         {"sectors_per_cluster", "bytes_per_sector", "heads", "sectors_per_track"}) {
        volume.bootOverrides.push_back({field, 0});
    }
    const SparseImage image = Build(disk);
    const auto boot = SectorAt(image, 0);
    const auto backup = SectorAt(image, 6);
    EXPECT_EQ(boot[kBootSectorsPerCluster], 0);
    EXPECT_EQ(GetU16(boot, kBootBytesPerSector), 0);
    EXPECT_EQ(GetU16(boot, kBootHeads), 0);
    EXPECT_EQ(GetU16(boot, kBootSectorsPerTrack), 0);
    EXPECT_EQ(backup[kBootSectorsPerCluster], 1);
    EXPECT_EQ(GetU16(backup, kBootSectorsPerFat16), 0);
    EXPECT_EQ(GetU16(backup, kBootRootEntryCount), 0);
    EXPECT_EQ(GetU32(backup, kBootTotalSectors32), 70000u);
    EXPECT_EQ(GetU32(backup, kBootRootCluster), 2u);
    EXPECT_EQ(GetU16(backup, kBootFsInfoSector), 1);
    EXPECT_EQ(GetU16(backup, kBootBackupBootSector), 6);
    EXPECT_EQ(TextAt(backup, kExtendedBpb32 + kExtFsType, 8), "FAT32   ");

    VolumeLayout layout;
    std::string error;
    ASSERT_TRUE(ComputeLayout(volume, layout, error));
    EXPECT_EQ(GetU32(backup, kBootSectorsPerFat32), layout.sectorsPerFat);
    const auto fsInfo = SectorAt(image, 1);
    EXPECT_EQ(GetU32(fsInfo, kFsInfoLeadSignature), 0x41615252u);
    EXPECT_EQ(GetU32(fsInfo, kFsInfoStructSignature), 0x61417272u);
    EXPECT_EQ(GetU32(fsInfo, kFsInfoTrailSignature), 0xAA550000u);
    // Root directory in cluster 2, the file in 3 and 4.
    EXPECT_EQ(GetU32(fsInfo, kFsInfoFreeCount), layout.clusterCount - 3);
    EXPECT_EQ(GetU32(fsInfo, kFsInfoNextFree), 5u);
    EXPECT_EQ(SectorAt(image, 7), fsInfo);
}

TEST(BootRecord, UnknownOverrideFieldIsAnError) {
    Disk disk = Fat16Disk();
    disk.volumes[0].bootOverrides.push_back({"sectors_per_clustr", 0});
    EXPECT_NE(BuildError(disk).find("sectors_per_clustr"), std::string::npos);
}

}  // namespace
}  // namespace brovane::imagebuilder::test

// Directories, files, chains and damage of built volumes, read back from the image.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "image_test_support.h"
#include "imagebuilder/directory_entry.h"
#include "imagebuilder/fat_table.h"

namespace brovane::imagebuilder::test {
namespace {

// Reads a built volume's areas back through its layout.
struct VolumeReader {
    const SparseImage& image;
    const FatVolume& volume;
    VolumeLayout layout;

    VolumeReader(const SparseImage& built, const FatVolume& described)
        : image(built), volume(described) {
        std::string error;
        EXPECT_TRUE(ComputeLayout(volume, layout, error)) << error;
    }

    FatTable Fat(std::uint32_t copy = 1) const {
        FatTable fat{volume.kind, {}};
        fat.bytes = SectorAt(
            image, volume.firstSector + layout.reservedSectors + (copy - 1) * layout.sectorsPerFat,
            layout.sectorsPerFat);
        return fat;
    }
    std::vector<std::uint8_t> Cluster(std::uint32_t cluster) const {
        return SectorAt(
            image, volume.firstSector + layout.ClusterSector(cluster, volume.sectorsPerCluster),
            volume.sectorsPerCluster);
    }
    std::vector<std::uint8_t> RootEntry(std::size_t index) const {
        const auto root =
            SectorAt(image, volume.firstSector + layout.rootDirSector, layout.rootDirSectors);
        return {root.begin() + static_cast<std::ptrdiff_t>(index * 32),
                root.begin() + static_cast<std::ptrdiff_t>(index * 32 + 32)};
    }
};

std::vector<std::uint8_t> EntryIn(const std::vector<std::uint8_t>& data, std::size_t index) {
    return {data.begin() + static_cast<std::ptrdiff_t>(index * 32),
            data.begin() + static_cast<std::ptrdiff_t>(index * 32 + 32)};
}

TEST(VolumeBuilder, FragmentedFileFollowsItsChainAndAutoAllocationSkipsReservedClusters) {
    Disk disk = Fat16Disk();
    FatVolume& volume = disk.volumes[0];  // 1 KiB clusters
    EntryDescription fragmented =
        FileEntry("/FRAG.BIN", std::string(1024, 'A') + std::string(1024, 'B') + "CC");
    fragmented.clusters = {5, 9, 3};
    volume.entries.push_back(fragmented);
    volume.entries.push_back(FileEntry("/NEXT.BIN", std::string(3000, 'n')));
    const SparseImage image = Build(disk);
    const VolumeReader reader(image, volume);
    const FatTable fat = reader.Fat();
    EXPECT_EQ(GetFatEntry(fat, 5), 9u);
    EXPECT_EQ(GetFatEntry(fat, 9), 3u);
    EXPECT_EQ(GetFatEntry(fat, 3), 0xFFFFu);
    EXPECT_EQ(reader.Cluster(5), std::vector<std::uint8_t>(1024, 'A'));
    EXPECT_EQ(reader.Cluster(9), std::vector<std::uint8_t>(1024, 'B'));
    EXPECT_EQ(TextAt(reader.Cluster(3), 0, 3), std::string("CC\0", 3));
    // 2, 4, 6 are the lowest clusters left free.
    EXPECT_EQ(GetFatEntry(fat, 2), 4u);
    EXPECT_EQ(GetFatEntry(fat, 4), 6u);
    EXPECT_EQ(GetFatEntry(fat, 6), 0xFFFFu);
    EXPECT_EQ(reader.Fat(2).bytes, fat.bytes);

    const auto entry = reader.RootEntry(0);
    EXPECT_EQ(TextAt(entry, 0, 11), "FRAG    BIN");
    EXPECT_EQ(entry[kEntryAttributes], 0x20);
    EXPECT_EQ(GetU16(entry, kEntryClusterLow), 5);
    EXPECT_EQ(GetU32(entry, kEntryFileSize), 2050u);
    EXPECT_EQ(GetU16(entry, kEntryModifiedDate), DosDate(2024, 1, 15));
}

TEST(VolumeBuilder, SubDirectoriesHoldDotEntriesAndLongNamesPrecedeTheirEntry) {
    Disk disk = Fat16Disk();
    FatVolume& volume = disk.volumes[0];
    volume.entries.push_back(DirectoryEntry("/DOCS", "Documents"));
    volume.entries.push_back(DirectoryEntry("/docs/old"));
    volume.entries.push_back(FileEntry("/DOCS/OLD/A.TXT", "a", "A rather long file name.txt"));
    const SparseImage image = Build(disk);
    const VolumeReader reader(image, volume);
    // Root: one slot for "Documents", then DOCS in cluster 2.
    EXPECT_EQ(reader.RootEntry(0)[0], 0x41);
    EXPECT_EQ(TextAt(reader.RootEntry(1), 0, 11), "DOCS       ");
    EXPECT_EQ(reader.RootEntry(1)[kEntryAttributes], 0x10);
    EXPECT_EQ(GetU32(reader.RootEntry(1), kEntryFileSize), 0u);

    const auto docs = reader.Cluster(2);
    EXPECT_EQ(TextAt(docs, 0, 11), ".          ");
    EXPECT_EQ(GetU16(docs, kEntryClusterLow), 2);
    EXPECT_EQ(TextAt(docs, 32, 11), "..         ");
    EXPECT_EQ(GetU16(docs, 32 + kEntryClusterLow), 0);  // the parent is the root
    EXPECT_EQ(TextAt(docs, 64, 11), "OLD        ");

    const auto old = reader.Cluster(3);
    EXPECT_EQ(GetU16(old, 32 + kEntryClusterLow), 2);
    EXPECT_EQ(EntryIn(old, 2)[0], 0x43);  // 27 characters: three slots
    EXPECT_EQ(EntryIn(old, 4)[0], 0x01);
    EXPECT_EQ(TextAt(EntryIn(old, 5), 0, 11), "A       TXT");
    EXPECT_EQ(EntryIn(old, 6)[0], 0);
}

TEST(VolumeBuilder, DeletedEntriesKeepTheirDataButNotTheirChain) {
    Disk disk = Fat16Disk();
    FatVolume& volume = disk.volumes[0];
    EntryDescription gone = FileEntry("/GONE.TXT", "old data", "Gone file.txt");
    gone.deleted = true;
    EntryDescription kept = FileEntry("/KEPT.TXT", "more", "Kept slots.txt");
    kept.deleted = true;
    kept.longNameDeleted = false;
    volume.entries = {gone, kept};
    const SparseImage image = Build(disk);
    const VolumeReader reader(image, volume);
    EXPECT_EQ(reader.RootEntry(0)[0], kDeletedMark);
    EXPECT_EQ(reader.RootEntry(0)[11], 0x0F);
    EXPECT_EQ(TextAt(reader.RootEntry(1), 0, 11), "\xE5ONE    TXT");
    EXPECT_EQ(GetU16(reader.RootEntry(1), kEntryClusterLow), 2);
    EXPECT_EQ(GetFatEntry(reader.Fat(), 2), 0u);
    EXPECT_EQ(TextAt(reader.Cluster(2), 0, 8), "old data");
    EXPECT_EQ(reader.RootEntry(2)[0], 0x42);  // both slots left as they were
    EXPECT_EQ(reader.RootEntry(3)[0], 0x01);
    EXPECT_EQ(reader.RootEntry(4)[0], kDeletedMark);
}

TEST(VolumeBuilder, Fat32JoinsClusterWordsAndChainsItsRootDirectory) {
    Disk disk = Fat32Disk();
    FatVolume& volume = disk.volumes[0];
    volume.rootClusters = {7, 3};
    volume.entries.push_back(LabelEntry("VOLUME"));
    for (int i = 0; i < 20; ++i) {  // 21 entries: more than one 512-byte cluster
        EntryDescription file = FileEntry("/F" + std::to_string(i) + ".TXT", "x");
        file.clusters = {static_cast<std::uint32_t>(0x10000 + i)};
        volume.entries.push_back(file);
    }
    const SparseImage image = Build(disk);
    const VolumeReader reader(image, volume);
    EXPECT_EQ(GetFatEntry(reader.Fat(), 7), 3u);
    EXPECT_EQ(GetFatEntry(reader.Fat(), 3), 0x0FFFFFFFu);
    const auto first = reader.Cluster(7);
    EXPECT_EQ(TextAt(first, 0, 11), "VOLUME     ");
    EXPECT_EQ(first[kEntryAttributes], 0x08);
    EXPECT_EQ(GetU16(first, 32 + kEntryClusterHigh), 1);
    EXPECT_EQ(GetU16(first, 32 + kEntryClusterLow), 0);
    EXPECT_EQ(TextAt(reader.Cluster(3), 0, 11), "F15     TXT");
    EXPECT_EQ(TextAt(reader.Cluster(0x10005), 0, 1), "x");
}

TEST(VolumeBuilder, DamageOverridesChangeOnlyTheNamedCopyAndFields) {
    Disk disk = Fat16Disk();
    FatVolume& volume = disk.volumes[0];
    EntryDescription loop = FileEntry("/LOOP.BIN", std::string(3000, 'l'));
    loop.clusters = {10, 11, 12};
    loop.sizeOverride = 99999;
    loop.firstClusterOverride = 0xFFFF;
    volume.entries.push_back(loop);
    volume.fatOverrides = {{12, 10, std::nullopt}, {11, 0xFFF0, 2u}};
    const SparseImage image = Build(disk);
    const VolumeReader reader(image, volume);
    EXPECT_EQ(GetFatEntry(reader.Fat(1), 12), 10u);
    EXPECT_EQ(GetFatEntry(reader.Fat(2), 12), 10u);
    EXPECT_EQ(GetFatEntry(reader.Fat(1), 11), 12u);
    EXPECT_EQ(GetFatEntry(reader.Fat(2), 11), 0xFFF0u);
    EXPECT_EQ(GetU32(reader.RootEntry(0), kEntryFileSize), 99999u);
    EXPECT_EQ(GetU16(reader.RootEntry(0), kEntryClusterLow), 0xFFFF);
}

TEST(VolumeBuilder, PokesLandLastAtAbsoluteOffsets) {
    Disk disk = Fat16Disk();
    disk.pokes.push_back({2048 * 512 + 13, {0x00}});
    disk.pokes.push_back({510, {0x12, 0x34}});
    const SparseImage image = Build(disk);
    EXPECT_EQ(SectorAt(image, 2048)[13], 0);
    EXPECT_EQ(GetU16(SectorAt(image, 0), 510), 0x3412);
    disk.pokes.push_back({disk.sizeBytes - 1, {1, 2}});
    EXPECT_NE(BuildError(disk).find("past the disk's end"), std::string::npos);
}

TEST(VolumeBuilder, RefusesDescriptionsThatCannotBeBuilt) {
    Disk disk = Fat16Disk();
    FatVolume& volume = disk.volumes[0];
    EntryDescription a = FileEntry("/A.TXT", "a");
    a.clusters = {7};
    EntryDescription b = FileEntry("/B.TXT", "b");
    b.clusters = {7};
    volume.entries = {a, b};
    EXPECT_NE(BuildError(disk).find("used twice"), std::string::npos);

    volume.entries = {FileEntry("/NODIR/A.TXT", "a")};
    EXPECT_NE(BuildError(disk).find("not declared"), std::string::npos);

    EntryDescription tooShort = FileEntry("/BIG.BIN", std::string(5000, 'b'));
    tooShort.clusters = {3, 4};
    volume.entries = {tooShort};
    EXPECT_NE(BuildError(disk).find("2 clusters given, 5 needed"), std::string::npos);

    volume.entries = {FileEntry("/BAD NAME.TXT", "")};
    EXPECT_NE(BuildError(disk).find("not allowed"), std::string::npos);

    volume.rootEntryCount = 16;
    volume.entries.clear();
    for (int i = 0; i < 17; ++i) {
        volume.entries.push_back(FileEntry("/F" + std::to_string(i), ""));
    }
    EXPECT_NE(BuildError(disk).find("root directory holds more"), std::string::npos);

    volume.entries.clear();
    volume.totalSectors = 16 * 1024 * 2;  // runs past the 16 MiB disk
    EXPECT_NE(BuildError(disk).find("end"), std::string::npos);
}

TEST(SparseImage, SavesALargeDiskAsASparseFileWithItsContents) {
    Disk disk = Fat16Disk();
    disk.sizeBytes = 1ull << 30;
    disk.volumes[0].entries.push_back(FileEntry("/HELLO.TXT", "hello"));
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("imagebuilder-" + std::to_string(getpid()) + ".img"))
                                 .string();
    std::string error;
    ASSERT_TRUE(WriteImageFile(disk, path, error)) << error;
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(static_cast<std::uint64_t>(info.st_size), 1ull << 30);
    EXPECT_LT(static_cast<std::uint64_t>(info.st_blocks) * 512, 1024u * 1024u);
    SparseImage expected(0);
    ASSERT_TRUE(BuildImage(disk, expected, error));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<std::uint8_t> volumeStart(600 * 1024);
    ASSERT_EQ(std::fseek(file, 2048 * 512, SEEK_SET), 0);
    EXPECT_EQ(std::fread(volumeStart.data(), 1, volumeStart.size(), file), volumeStart.size());
    std::fclose(file);
    std::filesystem::remove(path);
    EXPECT_EQ(volumeStart, expected.Read(2048 * 512, volumeStart.size()));

    EXPECT_FALSE(WriteImageFile(disk, "/nonexistent-dir/x.img", error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

}  // namespace
}  // namespace brovane::imagebuilder::test

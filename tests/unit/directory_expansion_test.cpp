// Directories listed into the tree on their first expansion, on images made
// by the image builder, in both access modes (device paths and the disk
// library): names, records, the order of the walk's tests, damaged chains,
// and every message with what the listing leaves behind.
#include "tree/directory_listing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <tuple>

#include "walk_harness.h"

namespace brovane {
namespace {

using imagebuilder::DirectoryEntry;
using imagebuilder::Disk;
using imagebuilder::EntryDescription;
using imagebuilder::FatKind;
using imagebuilder::FatVolume;
using imagebuilder::FileEntry;
using imagebuilder::LabelEntry;
using imagebuilder::VolumeLayout;

constexpr std::uint32_t kVolumeStart = 2048;
constexpr std::uint32_t kBytes = 512;
const std::string kVolumePath = "Hard Disk 1/#1";
const std::string kRoot = kVolumePath + "/Root Directory";

// A FAT16 volume of 20,000 sectors, or a FAT32 one of 80,000 with one
// sector a cluster, on a disk that ends with it.
FatVolume MakeVolume(FatKind kind, std::uint8_t sectorsPerCluster = 4) {
    FatVolume volume = Volume(kind, kVolumeStart, kind == FatKind::Fat32 ? 80000 : 20000);
    volume.sectorsPerCluster = kind == FatKind::Fat32 ? 1 : sectorsPerCluster;
    return volume;
}

Disk OneVolumeDisk(const FatVolume& volume) {
    Disk disk;
    disk.sizeBytes = std::uint64_t{kVolumeStart + volume.totalSectors} * kBytes;
    disk.primaries[0] =
        Primary(volume.kind == FatKind::Fat32 ? 0x0C : 0x06, kVolumeStart, volume.totalSectors);
    disk.volumes.push_back(volume);
    return disk;
}

VolumeLayout LayoutOf(const FatVolume& volume) {
    VolumeLayout layout;
    std::string error;
    EXPECT_TRUE(imagebuilder::ComputeLayout(volume, layout, error)) << error;
    return layout;
}

EntryDescription WithClusters(EntryDescription entry, std::vector<std::uint32_t> clusters) {
    entry.clusters = std::move(clusters);
    return entry;
}

// The fields a directory hands down to its children.
auto Inherited(const TreeItemInfo& r) {
    return std::tuple(r.driveNumber, r.cylinder, r.head, r.sector, r.baseSector, r.int13Extensions,
                      r.heads, r.sectorsPerTrack, r.sectorsPerCluster, r.reservedSectors,
                      r.sectorsPerFat, r.firstDataSector, r.volumeSectors, r.fatType);
}

// A raw 32-byte entry: 11 name bytes, attributes, first cluster.
std::vector<std::uint8_t> RawEntry(const char (&name)[12], std::uint8_t attributes,
                                   std::uint16_t cluster = 0) {
    std::vector<std::uint8_t> entry(32, 0);
    std::memcpy(entry.data(), name, 11);
    entry[11] = attributes;
    entry[26] = static_cast<std::uint8_t>(cluster);
    entry[27] = static_cast<std::uint8_t>(cluster >> 8);
    return entry;
}

// A session on one volume, and what the tests ask of its tree.
struct VolumeRun : WalkHarness {
    // Places the disk, starts in the given access mode and expands down to
    // the volume's children.
    MemoryDisk& StartOn(const Disk& disk, bool diskLibrary) {
        MemoryDisk& memory = *platform.FindDisk(PlaceBuiltDisk(platform, disk));
        Start(diskLibrary);
        Batch("expand Hard Disk 1\nexpand " + kVolumePath + "\n");
        return memory;
    }
    void Expand(const std::string& path) { Batch("expand " + path + "\n"); }
    // The item's children: "+ " with an expand button, ". " without, then the text.
    std::vector<std::string> ChildLines(const std::string& path) {
        std::vector<std::string> lines;
        for (TreeItemHandle child : screen.Children(Item(path))) {
            lines.push_back((screen.HasButton(child) ? "+ " : ". ") + screen.ItemText(child));
        }
        return lines;
    }
    std::size_t ChildCount(const std::string& path) { return screen.Children(Item(path)).size(); }
};

class DirectoryExpansionTest : public ::testing::TestWithParam<bool>, public VolumeRun {
  protected:
    MemoryDisk& StartOn(const Disk& disk) { return VolumeRun::StartOn(disk, GetParam()); }
};

// ---- Names, records and what is listed ----

TEST_P(DirectoryExpansionTest, Fat16RootListsByLongOrStoredNameWithTheDirectoryFields) {
    FatVolume volume = MakeVolume(FatKind::Fat16);
    volume.entries = {
        WithClusters(FileEntry("/README.TXT", "read me"), {7}),  // entry 0: short form
        LabelEntry("MY DISK"),
        DirectoryEntry("/DOCS", "Documents"),
        FileEntry("/LONG.TXT", "x", "A name that takes three slots"),  // 29 characters
        FileEntry("/OLD.TXT", "x", "Old plan.txt"),
        FileEntry("/NOLFN.DAT", "x"),  // behind a deleted entry: no slots of its own
        FileEntry("/SYS.BIN", "x"),
        FileEntry("/DOCS/INNER.TXT", "x", "Inner file.txt"),
    };
    volume.entries[4].deleted = true;
    volume.entries[6].attributes = 0x27;
    Disk disk = OneVolumeDisk(volume);
    // README's high cluster word is set, which only FAT32 reads.
    VolumeLayout layout = LayoutOf(volume);
    disk.pokes.push_back({(kVolumeStart + layout.rootDirSector) * std::uint64_t{kBytes} + 20, {1}});
    StartOn(disk);
    Expand(kRoot);
    EXPECT_EQ(ChildLines(kRoot), (std::vector<std::string>{". README  .TXT", "+ Documents",
                                                           ". A name that takes three slots",
                                                           ". NOLFN   .DAT", ". SYS     .BIN"}));
    const std::string documents = kRoot + "/Documents";
    Expand(documents);
    EXPECT_EQ(ChildLines(documents), std::vector<std::string>{". Inner file.txt"});

    const TreeItemInfo& root = Record(kRoot);
    const TreeItemInfo& readme = Record(kRoot + "/#1");
    EXPECT_EQ(readme.kind, IK_DIR_ENTRY);
    EXPECT_EQ(readme.sectorCount, 0u);
    EXPECT_EQ(readme.relativeSector, root.relativeSector + root.sectorCount);
    EXPECT_EQ(readme.relativeSector, root.firstDataSector);
    EXPECT_EQ(readme.firstCluster, 7u);
    EXPECT_EQ(readme.attributes, 0x20);
    EXPECT_EQ(Record(kRoot + "/#5").attributes, 0x27);
    EXPECT_EQ(Inherited(readme), Inherited(root));
    // The name lies right behind its record.
    EXPECT_EQ(readme.nameText, reinterpret_cast<const char*>(&readme + 1));
    EXPECT_STREQ(readme.nameText, "README  .TXT");
    // A sub-directory's children keep the first data sector.
    const TreeItemInfo& inner = Record(documents + "/#1");
    EXPECT_EQ(inner.relativeSector, root.firstDataSector);
    EXPECT_NE(inner.firstCluster, 0u);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(screen.StatusText(kProgressPane), "");
    EXPECT_EQ(platform.LiveBlocks(), 2u);  // the two pools: every listing buffer released
}

TEST_P(DirectoryExpansionTest, Fat32RootListsItsLabelAndJoinsTheHighClusterWord) {
    FatVolume volume = MakeVolume(FatKind::Fat32);
    volume.entries = {
        WithClusters(FileEntry("/BIG.BIN", "far away"), {70000}),
        LabelEntry("DEMO FAT32"),
        DirectoryEntry("/SUB", "Sub folder"),
        WithClusters(FileEntry("/SUB/DEEP.TXT", "x", "Deep file"), {69999}),
    };
    StartOn(OneVolumeDisk(volume));
    Expand(kRoot);
    EXPECT_EQ(ChildLines(kRoot),
              (std::vector<std::string>{". BIG     .BIN", ". DEMO FAT.32 ", "+ Sub folder"}));
    const TreeItemInfo& root = Record(kRoot);
    EXPECT_EQ(Record(kRoot + "/#1").firstCluster, 70000u);
    EXPECT_EQ(Record(kRoot + "/#1").relativeSector, root.relativeSector);
    EXPECT_EQ(Record(kRoot + "/#2").attributes, 0x08);
    Expand(kRoot + "/Sub folder");
    EXPECT_EQ(ChildLines(kRoot + "/Sub folder"), std::vector<std::string>{". Deep file"});
    EXPECT_EQ(Record(kRoot + "/#3/#1").firstCluster, 69999u);
    EXPECT_TRUE(printed.empty());
}

// The tests come in this order: slot, deleted mark, label (fixed root) or
// dot entry (chain), and only then the end mark.
TEST_P(DirectoryExpansionTest, SlotsAndDeletedMarksAreTestedBeforeTheEndMark) {
    std::vector<std::uint8_t> entries;
    for (const auto& entry : {
             RawEntry("\0LOT       ", 0x0F),  // a slot beginning with 0
             RawEntry("\0ABEL      ", 0x08),  // a label beginning with 0
             RawEntry("\x05"
                      "ELETED TXT",
                      0x20),
             RawEntry("FIRST   TXT", 0x20),
             RawEntry("\0ND        ", 0x20),
             RawEntry("AFTER   TXT", 0x20),
         }) {
        entries.insert(entries.end(), entry.begin(), entry.end());
    }
    FatVolume fat16 = MakeVolume(FatKind::Fat16);
    Disk disk16 = OneVolumeDisk(fat16);
    disk16.pokes.push_back(
        {(kVolumeStart + LayoutOf(fat16).rootDirSector) * std::uint64_t{kBytes}, entries});
    StartOn(disk16);
    Expand(kRoot);
    EXPECT_EQ(ChildLines(kRoot), std::vector<std::string>{". FIRST   .TXT"});

    // In a chain directory a label is not passed over, so its 0 ends the walk.
    VolumeRun chain;
    FatVolume fat32 = MakeVolume(FatKind::Fat32);
    fat32.rootClusters = {2};
    Disk disk32 = OneVolumeDisk(fat32);
    disk32.pokes.push_back(
        {(kVolumeStart + LayoutOf(fat32).ClusterSector(2, 1)) * std::uint64_t{kBytes}, entries});
    chain.StartOn(disk32, GetParam());
    chain.Expand(kRoot);
    EXPECT_EQ(chain.ChildCount(kRoot), 0u);
    EXPECT_TRUE(chain.printed.empty());
}

// ---- Sub-directories, loops and damaged chains ----

TEST_P(DirectoryExpansionTest, SubDirectoriesAreListedOneLevelPerExpansionAndLoopsRepeat) {
    FatVolume volume = MakeVolume(FatKind::Fat16);
    volume.entries = {
        WithClusters(DirectoryEntry("/A", "Alpha"), {10}),
        DirectoryEntry("/A/B", "Beta"),
        FileEntry("/A/B/C.TXT", "x", "Gamma.txt"),
        DirectoryEntry("/A/UP"),  // points back at Alpha
        DirectoryEntry("/ZERO"),  // first cluster 0
        DirectoryEntry("/ENDMARK"),
    };
    volume.entries[3].firstClusterOverride = 10;
    volume.entries[4].firstClusterOverride = 0;
    volume.entries[5].firstClusterOverride = 0xFFFF;
    StartOn(OneVolumeDisk(volume));
    Expand(kRoot);
    EXPECT_EQ(ChildLines(kRoot),
              (std::vector<std::string>{"+ Alpha", "+ ZERO    .   ", "+ ENDMARK .   "}));
    // Nothing below is read before it is expanded.
    EXPECT_EQ(ChildCount(kRoot + "/Alpha"), 0u);
    std::string path = kRoot + "/Alpha";
    for (int depth = 0; depth < 40; ++depth) {
        Expand(path);
        ASSERT_EQ(ChildLines(path), (std::vector<std::string>{"+ Beta", "+ UP      .   "}))
            << depth;
        path += "/#2";
    }
    Expand(kRoot + "/Alpha/Beta");
    EXPECT_EQ(ChildLines(kRoot + "/Alpha/Beta"), std::vector<std::string>{". Gamma.txt"});
    for (const char* empty : {"/#2", "/#3"}) {
        Expand(kRoot + empty);
        EXPECT_EQ(ChildCount(kRoot + empty), 0u) << empty;
    }
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(screen.StatusText(kProgressPane), "");
}

// ---- Damage and failures ----

// Files F0, F1, ... in a directory of the volume.
FatVolume WithFiles(FatVolume volume, const std::string& directory, int count) {
    for (int i = 0; i < count; ++i) {
        volume.entries.push_back(FileEntry(directory + "/F" + std::to_string(i) + ".TXT", ""));
    }
    return volume;
}

FatVolume WithFat(FatVolume volume, std::uint32_t cluster, std::uint32_t value) {
    volume.fatOverrides.push_back({cluster, value, {}});
    return volume;
}

FatVolume WithBoot(FatVolume volume, const char* field, std::uint32_t value) {
    volume.bootOverrides.push_back({field, value});
    return volume;
}

// Each case: a volume, what is done before one directory is expanded, and
// what the expansion shows: children, the message (if any), the progress
// pane (where it matters). No case leaves a block behind; a size no volume
// can hold is refused before it is allocated. Unreadable FATs and clusters
// are the fault matrix's.
TEST_P(DirectoryExpansionTest, DamageAndFailuresShowTheirMessagesAndLeaveNoBlock) {
    FatVolume plain = MakeVolume(FatKind::Fat16);
    plain.entries = {DirectoryEntry("/SUB"), FileEntry("/SUB/A.TXT", "x")};
    FatVolume empty = plain;
    empty.entries.clear();
    // /D, "Damaged": 40 files over three clusters of one sector.
    FatVolume damaged = MakeVolume(FatKind::Fat16, 1);
    damaged.entries.push_back(WithClusters(DirectoryEntry("/D", "Damaged"), {100, 101, 102}));
    damaged = WithFiles(damaged, "/D", 40);
    const std::uint32_t fatEntries = LayoutOf(damaged).sectorsPerFat * kBytes / 2;
    // The FAT's last entry names a cluster beyond the disk's end.
    ASSERT_GT(LayoutOf(damaged).ClusterSector(fatEntries - 1, 1), damaged.totalSectors);
    // A FAT32 root of three clusters.
    FatVolume threeClusters = MakeVolume(FatKind::Fat32);
    threeClusters.rootClusters = {2, 3, 4};
    const std::uint32_t dataStart = LayoutOf(threeClusters).firstDataSector;
    FatVolume oneFileRoot = threeClusters;
    oneFileRoot.entries = {FileEntry("/A.TXT", "x")};

    using Damage = std::function<void(VolumeRun&)>;
    auto allocation = [](unsigned nth) -> Damage {
        return [nth](VolumeRun& run) {
            run.platform.settings.failingAllocation = run.platform.counters.allocations + nth;
        };
    };
    const std::string sub = kRoot + "/#1";
    const std::string damagedDir = kRoot + "/Damaged";
    const char* notLoaded = "Not able to load the sub-directory";
    struct Case {
        const char* name;
        FatVolume volume;
        std::string path;
        Damage damage;
        std::size_t children;
        const char* message;   // or nullptr
        const char* progress;  // or nullptr: not checked
        bool refused = false;
    };
    const Case cases[] = {
        {"empty root", empty, kRoot, nullptr, 0, nullptr, nullptr},
        {"no root sectors", WithBoot(plain, "root_entries", 0), kRoot, nullptr, 0, nullptr,
         nullptr},
        {"fewer root entries than a sector holds", WithBoot(plain, "root_entries", 15), kRoot,
         nullptr, 0, nullptr, nullptr},
        {"circle", WithFat(damaged, 102, 100), damagedDir, nullptr, 40, nullptr, nullptr},
        {"free mark", WithFat(damaged, 100, 0), damagedDir, nullptr, 14, nullptr, nullptr},
        {"past the FAT", WithFat(damaged, 100, fatEntries), damagedDir, nullptr, 14, nullptr,
         nullptr},
        {"cluster 1", WithFat(damaged, 100, 1), damagedDir, nullptr, 0, notLoaded, nullptr},
        {"past the disk", WithFat(damaged, 100, fatEntries - 1), damagedDir, nullptr, 0, notLoaded,
         nullptr},
        {"FAT larger than the volume", WithBoot(threeClusters, "sectors_per_fat_32", 0x7FFFFFFF),
         kRoot, nullptr, 0, "Fatal Error!  Not able to allocate a Buffer For FAT!", nullptr, true},
        // Inside the volume the boot record claims, but larger than the disk.
        {"FAT larger than the disk",
         WithBoot(WithBoot(threeClusters, "total_sectors_32", 0x7FFFFFFF), "sectors_per_fat_32",
                  0x00100000),
         kRoot, nullptr, 0, "Fatal Error!  Not able to allocate a Buffer For FAT!", nullptr, true},
        // A damaged total-sectors field hides nothing the drive holds: room
        // for two of the root's three clusters, for part of a root.
        {"clusters past the volume's total",
         WithBoot(oneFileRoot, "total_sectors_32", dataStart + 2), kRoot, nullptr, 1, nullptr,
         nullptr},
        {"root past the volume's total", WithBoot(plain, "total_sectors_16", 60), kRoot, nullptr, 1,
         nullptr, nullptr},
        {"no root buffer", plain, kRoot, allocation(1), 0,
         "Fatal Error!  Not able to allocate a Buffer for Root Directory!", nullptr},
        // A sub-directory's buffers in the order they are made.
        {"no FAT buffer", plain, sub, allocation(1), 0,
         "Fatal Error!  Not able to allocate a Buffer For FAT!", ""},
        {"no cluster list", plain, sub, allocation(2), 0,
         "Fatal Error!  Not able to allocate a Buffer for FAT Entries!", "Wait...."},
        {"no cluster buffer", plain, sub, allocation(3), 0,
         "Fatal Error! Not able to allocate a Buffer!", "Wait...."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VolumeRun run;
        run.StartOn(OneVolumeDisk(c.volume), GetParam());
        if (c.path != kRoot) {
            run.Expand(kRoot);
        }
        const unsigned allocations = run.platform.counters.allocations;
        if (c.damage) {
            c.damage(run);
        }
        run.Expand(c.path);
        run.platform.settings.failingAllocation = 0;
        EXPECT_EQ(run.ChildCount(c.path), c.children);
        EXPECT_EQ(run.printed, c.message ? Messages({c.message}) : std::vector<std::string>{});
        if (c.progress) {
            EXPECT_EQ(run.screen.StatusText(kProgressPane), c.progress);
        }
        EXPECT_EQ(run.platform.LiveBlocks(), 2u);
        if (c.refused) {
            EXPECT_LE(run.platform.counters.allocations - allocations, 2u);  // at most the FAT
        }
    }
}

TEST_P(DirectoryExpansionTest, UnreadableRootSectorsListAsDeletedAndTheListingGoesOn) {
    FatVolume volume = MakeVolume(FatKind::Fat16);
    for (int i = 0; i < 40; ++i) {  // 16 entries a sector: F0-F15, F16-F31, F32-F39
        volume.entries.push_back(FileEntry("/F" + std::to_string(i) + ".TXT", ""));
    }
    MemoryDisk& disk = StartOn(OneVolumeDisk(volume));
    disk.faults.read.badSectors = {kVolumeStart + LayoutOf(volume).rootDirSector + 1};
    Expand(kRoot);
    EXPECT_EQ(printed, Messages({"Root Directory not fully accessible!"}));
    ASSERT_EQ(ChildCount(kRoot), 24u);
    EXPECT_EQ(screen.ItemText(screen.Children(Item(kRoot))[16]), "F32     .TXT");
    EXPECT_EQ(screen.StatusText(kProgressPane), "");
}

TEST_P(DirectoryExpansionTest, AFullItemStorageStopsTheListingCleanly) {
    FatVolume volume = MakeVolume(FatKind::Fat16);
    for (int i = 0; i < 10; ++i) {
        volume.entries.push_back(FileEntry("/F" + std::to_string(i) + ".TXT", ""));
    }
    StartOn(OneVolumeDisk(volume));
    // Fill the first pool block to within three records, and let it not grow.
    RecordPool& pool = session.items.itemPool;
    while (pool.UsedBytes() + 4 * sizeof(TreeItemInfo) < kItemPoolBytes) {
        ASSERT_NE(AppendItemRecord(session.items), nullptr);
    }
    platform.settings.failingAllocation =
        platform.counters.allocations + 2;  // root buffer, then the pool
    Expand(kRoot);
    EXPECT_EQ(printed, Messages({"Packets memory not enough"}));
    ASSERT_GE(ChildCount(kRoot), 1u);
    EXPECT_LE(ChildCount(kRoot), 3u);
    EXPECT_STREQ(Record(kRoot + "/#1").nameText, "F0      .TXT");
    EXPECT_EQ(platform.LiveBlocks(), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, DirectoryExpansionTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                             return mode.param ? "DiskLibrary" : "DevicePaths";
                         });

}  // namespace
}  // namespace brovane

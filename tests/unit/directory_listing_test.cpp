#include "present/directory_presenter.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/selection_dispatch.h"
#include "disk/memory_blocks.h"
#include "format/format_test_bytes.h"
#include "format/long_name.h"
#include "imagebuilder/dos_date_time.h"
#include "present/directory_row_store.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using imagebuilder::DosDate;
using imagebuilder::DosTime;
using test::Bytes;
using test::PutShortEntry;
using test::PutSlot;
using test::PutU16;
using test::PutU32;

constexpr std::uint32_t kFat16Start = 2048;
constexpr std::uint32_t kFat32Start = 22048;
constexpr std::uint32_t kVolumeSectors = 20000;
const std::string kFat16Root = "Hard Disk 1/16-Bit FAT Disk/Root Directory";
const std::string kFat32Root = "Hard Disk 1/32-Bit FAT Disk/Root Directory";
const std::string kFat32Position =
    "1: Current Cluster Number: 0x00000002, Current Sector Number: 8254";
const std::string kHeadings =
    "# MS-DOS Name\tLong File Name\tStarting Cluster\tAttributes\tSize\tModified Date\tCreated "
    "Date\tAccessed Date";

void PutCluster(Bytes& data, std::size_t index, std::uint32_t cluster) {
    PutU16(data, index * 32 + 20, cluster >> 16);
    PutU16(data, index * 32 + 26, cluster & 0xFFFF);
}

// Column 0 and 1 of every row of a printed listing, headings left out.
std::vector<std::string> Names(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> cells = Split(lines[i], '\t');
        names.push_back(cells.at(0) + "|" + cells.at(1));
    }
    return names;
}

// Hard disk 1: a FAT16 volume (4 sectors a cluster, 32 root directory
// sectors) and a FAT32 volume whose 32 reserved sectors and two FATs of 4111
// sectors put cluster 2 at sector 8254; 8 sectors a cluster, the root
// directory in clusters 2, 3 and 4.
struct DirectoryDisk : WalkHarness {
    explicit DirectoryDisk(std::vector<imagebuilder::EntryDescription> fat16Entries = {},
                           std::vector<imagebuilder::FatEntryOverride> fat32Damage = {}) {
        imagebuilder::Disk disk;
        disk.sizeBytes = 48 << 20;
        disk.primaries[0] = Primary(0x06, kFat16Start, kVolumeSectors);
        disk.primaries[1] = Primary(0x0C, kFat32Start, kVolumeSectors);
        fat16 = Volume(imagebuilder::FatKind::Fat16, kFat16Start, kVolumeSectors);
        fat16.entries = std::move(fat16Entries);
        fat32 = Volume(imagebuilder::FatKind::Fat32, kFat32Start, kVolumeSectors);
        fat32.sectorsPerCluster = 8;
        fat32.sectorsPerFat = 4111;
        fat32.rootClusters = {2, 3, 4};
        fat32.fatOverrides = std::move(fat32Damage);
        disk.volumes = {fat16, fat32};
        PlaceBuiltDisk(platform, disk);
        std::string error;
        EXPECT_TRUE(imagebuilder::ComputeLayout(fat16, layout16, error)) << error;
        EXPECT_TRUE(imagebuilder::ComputeLayout(fat32, layout32, error)) << error;
    }

    void Open(bool library = false) {
        Start(library);
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#2\n");
    }
    MemoryDisk& Disk() { return *platform.FindDisk(0x80); }
    std::uint64_t RootSector16() { return kFat16Start + layout16.rootDirSector; }
    std::uint64_t ClusterSector16(std::uint32_t cluster) {
        return kFat16Start + layout16.ClusterSector(cluster, 4);
    }
    std::uint64_t ClusterSector32(std::uint32_t cluster) {
        return kFat32Start + layout32.ClusterSector(cluster, 8);
    }
    void Poke(std::uint64_t sector, const Bytes& bytes) { PokeBytes(Disk(), sector * 512, bytes); }

    std::vector<std::string> Listing(const std::string& path) {
        return BatchLines("select -\nselect " + path + "\nlist\n");
    }
    // The record the tree gives a directory entry in that root directory.
    TreeItemInfo Child(const std::string& rootPath, std::uint32_t firstCluster,
                       std::uint16_t attributes) {
        TreeItemInfo child = Record(rootPath);
        child.kind = IK_DIR_ENTRY;
        child.relativeSector += child.sectorCount;
        child.sectorCount = 0;
        child.firstCluster = firstCluster;
        child.attributes = attributes;
        return child;
    }
    std::vector<std::string> Show(const TreeItemInfo& record) {
        DispatchSelection(session.Io(), session.pane, &record);
        return BatchLines("list\n");
    }
    std::string Position() { return "1: " + screen.StatusText(kPositionPane); }

    imagebuilder::FatVolume fat16;
    imagebuilder::FatVolume fat32;
    imagebuilder::VolumeLayout layout16;
    imagebuilder::VolumeLayout layout32;
};

TEST(DirectoryListingTest, RootDirectoryListsEveryEntryUpToTheEndMark) {
    DirectoryDisk run;
    Bytes root(17 * 32, 0);
    PutShortEntry(root, 0, "MY DISK    ", 0x08);
    PutSlot(root, 1, 0x41, "readme.txt");
    PutShortEntry(root, 2, "README  TXT", 0x20);
    PutCluster(root, 2, 5);
    PutU32(root, 2 * 32 + 28, 1234);
    PutU16(root, 2 * 32 + 16, DosDate(2000, 2, 29));
    PutU16(root, 2 * 32 + 22, DosTime(9, 7, 42));
    PutU16(root, 2 * 32 + 24, DosDate(2001, 3, 5));
    PutSlot(root, 3, 0x41, "exactly13.txt");  // fills its slot, no 0 unit
    PutShortEntry(root, 4, "EXACTL~1TXT", 0x21);
    PutSlot(root, 5, 0x43, "0");
    PutSlot(root, 6, 0x02, "nopqrstuvwxyz");
    PutSlot(root, 7, 0x01, "abcdefghijklm");
    PutShortEntry(root, 8, "ABCDEF~1TXT", 0x20);
    PutSlot(root, 9, 0xE5, "name.txt");  // a deleted name's slots all begin with 0xE5
    PutSlot(root, 10, 0xE5, "Deleted long ");
    PutShortEntry(root, 11,
                  "\xE5"
                  "ELETE~1TXT",
                  0x20);
    PutShortEntry(root, 12, ".HIDDEN    ", 0x10);
    PutSlot(root, 13, 0x00, "zero");  // a slot beginning with 0 is no end mark
    PutShortEntry(root, 14, "AFTER   TXT", 0x20);
    PutShortEntry(root, 16, "GHOST   TXT", 0x20);  // behind the end mark at 15
    run.Poke(run.RootSector16(), root);
    run.Open();

    std::vector<std::string> lines = run.Listing(kFat16Root);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], kHeadings);
    EXPECT_EQ(Names(lines), (std::vector<std::string>{
                                "MY DISK .   |",
                                "README  .TXT|readme.txt",
                                "EXACTL~1.TXT|exactly13.txt",
                                "ABCDEF~1.TXT|abcdefghijklmnopqrstuvwxyz0",
                                "\\xE5ELETE~1.TXT|Deleted long ",
                                ".HIDDEN .   |",
                                "AFTER   .TXT|zero",
                            }));
    EXPECT_EQ(lines[2],
              "README  .TXT\treadme.txt\t00000005\tA\t1234\t5 Mar 2001 9:07:42\t29 Feb 2000\t");
    EXPECT_EQ(Split(lines[5], '\t')[3], "A-Deleted");
    EXPECT_EQ(run.Batch("status\n"), "0: \n1: Current Sector Number: " +
                                         std::to_string(run.layout16.rootDirSector) + "\n");
    EXPECT_EQ(run.session.pane.viewMode, VM_ROOT_DIR);
    EXPECT_TRUE(run.printed.empty());
}

TEST(DirectoryListingTest, SubDirectoriesSkipDotEntriesAndJoinTheHighWordOnFat32) {
    imagebuilder::EntryDescription docs = imagebuilder::DirectoryEntry("/DOCS", "Documents");
    docs.clusters = {10};
    DirectoryDisk run({docs, imagebuilder::FileEntry("/DOCS/NOTE.TXT", "note")});
    Bytes more(2 * 32, 0);
    PutShortEntry(more, 0, ".PROFILE   ", 0x20);  // a file: only directories are skipped
    PutShortEntry(more, 1, ".CONFIG    ", 0x10);
    PokeBytes(run.Disk(), run.ClusterSector16(10) * 512 + 3 * 32, more);
    Bytes joined(32, 0);
    PutShortEntry(joined, 0, "JOINED  BIN", 0x20);
    PutCluster(joined, 0, 0x00012345);
    PokeBytes(run.Disk(), run.RootSector16() * 512 + 2 * 32, joined);  // behind DOCS and its slot
    run.Poke(run.ClusterSector32(2), joined);
    run.Open();

    EXPECT_EQ(Split(run.Listing(kFat16Root).at(2), '\t')[2], "00002345");
    EXPECT_EQ(Split(run.Listing(kFat32Root).at(1), '\t')[2], "00012345");
    std::vector<std::string> lines = run.Show(run.Child(kFat16Root, 10, 0x10));
    EXPECT_EQ(lines.at(0), kHeadings);
    EXPECT_EQ(Names(lines), (std::vector<std::string>{"NOTE    .TXT|", ".PROFILE.   |"}));
    EXPECT_EQ(run.session.pane.viewMode, VM_SUBDIRECTORY);
    EXPECT_EQ(run.Position(), "1: Current Cluster Number: 0x0000000A, Current Sector Number: " +
                                  std::to_string(run.layout16.ClusterSector(10, 4)));
    EXPECT_TRUE(run.printed.empty());
}

// Clusters 2 and 3 hold one entry each behind long-name slots without
// characters, which are skipped, so nothing ends the walk before cluster 4.
void FillChain(DirectoryDisk& run) {
    for (std::uint32_t cluster : {2u, 3u}) {
        Bytes data(4096, 0);
        for (std::size_t i = 1; i < 128; ++i) {
            PutSlot(data, i, 0x01, "");
        }
        PutShortEntry(data, 0, cluster == 2 ? "FIRST   TXT" : "SECOND  TXT", 0x20);
        run.Poke(run.ClusterSector32(cluster), data);
    }
    Bytes third(32, 0);
    PutShortEntry(third, 0, "THIRD   TXT", 0x20);
    run.Poke(run.ClusterSector32(4), third);
}

TEST(DirectoryListingTest, Fat32RootOfThreeClustersIsReadAsTwentyFourSectors) {
    DirectoryDisk run;
    FillChain(run);
    run.Open();
    run.platform.transfers.clear();
    EXPECT_EQ(Names(run.Listing(kFat32Root)),
              (std::vector<std::string>{"FIRST   .TXT|", "SECOND  .TXT|", "THIRD   .TXT|"}));
    ASSERT_EQ(run.platform.transfers.size(), 4u);  // the FAT, then cluster by cluster
    EXPECT_EQ(run.platform.transfers[0].offset, (kFat32Start + 32) * 512ull);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(run.platform.transfers[1 + i].offset, (kFat32Start + 8254 + 8 * i) * 512ull);
        EXPECT_EQ(run.platform.transfers[1 + i].bytes, 4096u);
    }
    EXPECT_EQ(run.session.pane.currentBuffer.size(), 24u * 512);
    EXPECT_EQ(run.Position(), kFat32Position);
}

TEST(DirectoryListingTest, CircularChainListsEachClusterOnce) {
    DirectoryDisk run({}, {{3, 2, std::nullopt}});
    FillChain(run);
    run.Open();
    run.platform.transfers.clear();
    EXPECT_EQ(Names(run.Listing(kFat32Root)),
              (std::vector<std::string>{"FIRST   .TXT|", "SECOND  .TXT|"}));
    EXPECT_EQ(run.platform.transfers.size(), 3u);
}

TEST(DirectoryListingTest, NoChainLeavesAnEmptyPaneAndAFileShowsItsClusters) {
    DirectoryDisk run({imagebuilder::FileEntry("/A.TXT", "a")});
    run.Open();
    const std::vector<std::tuple<std::string, std::uint32_t>> items = {
        {kFat16Root, 0}, {kFat16Root, 0xFFFF}, {kFat32Root, 0x0FFFFFFF}};
    for (const auto& [root, cluster] : items) {
        ASSERT_EQ(run.Listing(kFat16Root).size(), 2u);  // a row to be gone afterwards
        EXPECT_EQ(run.Show(run.Child(root, cluster, 0x10)), std::vector<std::string>{"# "});
        EXPECT_FALSE(FindDirectoryRow(run.session.pane.directoryRows, 0));
    }
    EXPECT_TRUE(run.printed.empty());
    // A file is not listed: its first cluster is dumped, and the listing's rows are gone.
    run.Listing(kFat16Root);
    run.Show(run.Child(kFat16Root, 2, 0x20));
    EXPECT_EQ(run.session.pane.viewMode, VM_CLUSTER_DUMP);
    EXPECT_FALSE(FindDirectoryRow(run.session.pane.directoryRows, 0));
    EXPECT_EQ(run.session.pane.currentBuffer.size(), run.session.pane.unitSectors * 512u);
}

TEST(DirectoryListingTest, RootOfFewerThanSixteenEntriesListsNothingWithoutAMessage) {
    DirectoryDisk run({imagebuilder::FileEntry("/A.TXT", "a")});
    run.Open();
    TreeItemInfo root = run.Record(kFat16Root);
    root.sectorCount = 0;                           // what a boot record of 15 root entries gives
    ASSERT_EQ(run.Listing(kFat16Root).size(), 2u);  // the buffer kept holds an entry
    EXPECT_EQ(run.Show(root), std::vector<std::string>{kHeadings});
    EXPECT_EQ(run.Position(), "1: Current Sector Number: " + std::to_string(root.relativeSector));
    EXPECT_TRUE(run.printed.empty());
}

struct FailureCase {
    const char* name;
    bool subDirectory;
    std::function<void(DirectoryDisk&, TreeItemInfo&)> arrange;
    std::string message;
    bool headings;   // or an empty pane
    bool atCluster;  // the position of cluster 10, or the FAT32 root's from the listing before
};

// Unreadable root sectors, FATs and clusters are the fault matrix's.
TEST(DirectoryListingTest, EachFailedAllocationShowsItsMessageAndNoStaleRow) {
    auto allocation = [](unsigned n) {
        return [n](DirectoryDisk& run, TreeItemInfo&) {
            run.platform.settings.failingAllocation = run.platform.counters.allocations + n;
        };
    };
    const std::string clusterTen = "1: Current Cluster Number: 0x0000000A, Current Sector Number: ";
    auto hugeClusters = [](DirectoryDisk&, TreeItemInfo& record) {
        record.sectorsPerCluster = 0xFFFF;
    };
    // Two clusters more than the 48 MiB disk holds, in a volume claiming 2 TiB.
    auto clustersLargerThanTheDisk = [](DirectoryDisk&, TreeItemInfo& record) {
        record.sectorsPerCluster = 0xFFFF;
        record.volumeSectors = 0xFFFFFFFF;
    };
    const std::vector<FailureCase> cases = {
        {"root store refused", false, allocation(2), "Unable to allocate memory", true, false},
        {"cluster list refused", true, allocation(2),
         "Fatal Error!  Not able to allocate a buffer for FAT Entries!", false, false},
        {"cluster buffer refused", true, allocation(3),
         "Fatal Error!  Not able to allocate a buffer!", false, false},
        {"clusters larger than the volume", true, hugeClusters,
         "Fatal Error!  Not able to allocate a buffer!", false, false},
        {"clusters larger than the disk", true, clustersLargerThanTheDisk,
         "Fatal Error!  Not able to allocate a buffer!", false, false},
        {"sub-directory store refused", true, allocation(4), "Unable to allocate memory", true,
         true},
        {"chain buffer refused", true, allocation(1),
         "Fatal Error!  Not able to allocate a buffer!", false, false},
    };
    imagebuilder::EntryDescription docs = imagebuilder::DirectoryEntry("/DOCS");
    docs.clusters = {10, 11};
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        DirectoryDisk run({docs, imagebuilder::FileEntry("/DOCS/A.TXT", "a")});
        FillChain(run);
        run.Open();
        ASSERT_EQ(run.Listing(kFat32Root).size(), 4u);  // rows the failure must not leave behind
        TreeItemInfo record =
            c.subDirectory ? run.Child(kFat16Root, 10, 0x10) : run.Record(kFat16Root);
        c.arrange(run, record);
        std::vector<std::string> lines = run.Show(record);
        EXPECT_EQ(run.printed, run.Messages({c.message}));
        EXPECT_EQ(lines, std::vector<std::string>{c.headings ? kHeadings : "# "});
        EXPECT_EQ(run.Position(),
                  c.atCluster ? clusterTen + std::to_string(run.layout16.ClusterSector(10, 4))
                              : kFat32Position);
        if (!c.headings) {
            EXPECT_FALSE(run.session.pane.directoryRows.block);
        }
    }
}

TEST(DirectoryListingTest, ListingsHoldTwoBlocksAndReleaseThemOnce) {
    imagebuilder::EntryDescription docs = imagebuilder::DirectoryEntry("/DOCS");
    docs.clusters = {10, 11};
    DirectoryDisk run({docs});
    run.Open();
    const std::size_t before = run.platform.LiveBlocks();
    run.Show(run.Child(kFat16Root, 10, 0x10));
    EXPECT_EQ(run.platform.LiveBlocks(), before + 2);  // the clusters and the store; no list
    EXPECT_EQ(run.session.pane.currentBuffer.size(), 2u * 4 * 512);
    run.Listing(kFat16Root);
    EXPECT_EQ(run.platform.LiveBlocks(), before + 2);
    ReleasePaneBlocks(run.session.pane);
    ReleasePaneBlocks(run.session.pane);
    EXPECT_EQ(run.platform.LiveBlocks(), before);
    EXPECT_EQ(run.platform.counters.badFrees, 0u);
}

TEST(DirectoryRowStoreTest, SizedForTheWorstCaseAndNeverOverrun) {
    MemoryPlatform platform;
    DirectoryRowStore store;
    EXPECT_FALSE(
        MakeDirectoryRowStore(platform, store, kMaxBlockBytes / DirectoryRowStoreBytes(1) + 1));
    EXPECT_FALSE(MakeDirectoryRowStore(platform, store, UINT32_MAX));
    EXPECT_EQ(platform.counters.allocations, 0u);  // refused before asking for memory

    ASSERT_TRUE(MakeDirectoryRowStore(platform, store, 0));  // a valid store of no rows
    EXPECT_FALSE(AppendDirectoryRow(store, DirectoryRow{}, {}, 0));

    // The most a directory can ask of its store: slots and short entries in
    // turn, every byte the name walk reads nonzero and no end bit, so each
    // short entry takes its name from up to 20 entries in front of it.
    Bytes worst(32 * 512, 0x31);
    for (std::size_t entry = 0; entry < worst.size() / 32; ++entry) {
        if (entry % 2 == 0) {
            PutSlot(worst, entry, 0x01, "slot characte");
        } else {
            worst[entry * 32 + 11] = 0x20;
        }
    }
    ASSERT_TRUE(MakeDirectoryRowStore(platform, store, 32));
    for (std::size_t entry = 1; entry < worst.size() / 32; entry += 2) {
        std::optional<std::uintptr_t> index =
            AppendDirectoryRow(store, DirectoryRow{}, worst, entry);
        ASSERT_TRUE(index) << entry;
        EXPECT_EQ(FindDirectoryRow(store, *index)->longName.size(),
                  13 * std::min<std::size_t>(entry, 20));
    }
    EXPECT_LE(store.used, store.block.size());

    // Thirty-two sectors of the longest names offered to a store for one
    // sector, behind a row without a name, so the last row finds less room
    // than a whole name needs.
    Bytes data(32 * 512, 0);
    auto letter = [](std::size_t entry) { return static_cast<char>('a' + entry % 26); };
    for (std::size_t entry = 21; entry < data.size() / 32; entry += 21) {
        for (std::size_t slot = 1; slot <= 20; ++slot) {
            PutSlot(data, entry - slot, slot == 20 ? 0x54 : static_cast<std::uint8_t>(slot),
                    std::string(13, letter(entry)));
        }
        PutShortEntry(data, entry, "LONG    TXT", 0x20);
    }
    ASSERT_TRUE(MakeDirectoryRowStore(platform, store, 1));
    std::vector<std::uintptr_t> rows{*AppendDirectoryRow(store, DirectoryRow{}, data, 0)};
    for (std::size_t entry = 21; entry < data.size() / 32; entry += 21) {
        std::optional<std::uintptr_t> index =
            AppendDirectoryRow(store, DirectoryRow{}, data, entry);
        if (!index) {
            break;
        }
        rows.push_back(*index);
    }
    // Whole rows fill the store but for less room than a whole name needs.
    const std::size_t record = sizeof(DirectoryRow);
    const std::size_t whole = (store.block.size() - (record + 1)) / (record + 261);
    const std::size_t left = store.block.size() - (record + 1) - whole * (record + 261);
    ASSERT_GT(left, record + 1);
    ASSERT_EQ(rows.size(), whole + 2);
    EXPECT_EQ(store.used, store.block.size());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(FindDirectoryRow(store, rows[i])->longName,
                  std::string(i <= whole ? 260 : left - record - 1, letter(21 * i)));
    }
    EXPECT_FALSE(FindDirectoryRow(store, store.used));
    ReleaseDirectoryRowStore(store);
    EXPECT_FALSE(FindDirectoryRow(store, rows[0]));
}

}  // namespace
}  // namespace brovane

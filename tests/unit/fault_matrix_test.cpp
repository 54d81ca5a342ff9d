// Every place of the core that moves sectors, with the platform double
// failing its transfers in each way a transfer fails: a run of several
// sectors failing as a whole (single sectors still work), one sector of a
// run, a transfer that moves nothing, a short one, and floppy opens. Each
// case checks the message, the right pane's state and what the panes show.
// Combinations the other unit tests already cover are left to them.
#include <gtest/gtest.h>

#include <functional>

#include "app/selection_dispatch.h"
#include "dump/dump_paging.h"
#include "imagebuilder/description_parser.h"
#include "screen/command_table.h"
#include "walk_harness.h"

namespace brovane {
namespace {

// FAT16 with FATs of twenty sectors and clusters of four; FAT12 with FATs
// of one sector, so there only clusters are runs; FAT32; an extended
// partition holding one logical drive.
constexpr char kHardDiskImage[] = R"(
disk size=64M
partition type=0x06 start=2048 size=20000
fat16 sectors_per_cluster=4
file /SCATTER.BIN pattern="scatter " length=6144 clusters=5,9,6
dir /DOCS clusters=10,11
file /DOCS/A.TXT data="a"
partition type=0x01 start=22048 size=1300
fat12 sectors_per_cluster=4 root_entries=16
dir /SUB clusters=3,4
file /SUB/B.TXT data="b"
file /SMALL.BIN pattern="small " length=4096 clusters=5,6
partition type=0x0C start=24000 size=70000
fat32 sectors_per_cluster=1
file /BIG.TXT data="big"
partition type=0x05 start=100000 size=4000
logical type=0x01 start=100063 size=3000
)";

constexpr char kFloppyImage[] = R"(
disk sectors=2880 heads=2 sectors_per_track=18
fat12 start=0 size=2880 sectors_per_cluster=1 root_entries=224 media=0xF0 sectors_per_track=18 heads=2 hidden=0 drive=0x00
file /README.TXT data="floppy"
)";

const std::string kHardDisk = "Hard Disk 1";
const std::string kFloppy = "Floppy Disk 1";
const std::string kFat16 = "Hard Disk 1/16-Bit FAT Disk";
const std::string kFat12 = "Hard Disk 1/12-Bit FAT Disk";
const std::string kFat32 = "Hard Disk 1/32-Bit FAT Disk";
const std::string kExtended = "Hard Disk 1/Extended DOS Partition";
const std::string kFat16Root = kFat16 + "/Root Directory";
const std::string kFat12Root = kFat12 + "/Root Directory";
const std::string kFat32Root = kFat32 + "/Root Directory";
const std::string kFloppyRoot = kFloppy + "/Root Directory";
const std::string kScatter = kFat16Root + "/#1";  // clusters 5, 9, 6
const std::string kDocs = kFat16Root + "/#2";     // clusters 10, 11
const std::string kSub = kFat12Root + "/#1";      // clusters 3, 4
const std::string kSmall = kFat12Root + "/#2";    // clusters 5, 6

constexpr std::string_view kSixteen = "A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0";
const std::vector<std::uint8_t> kSixteenBytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                                              0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0};

enum class Mode { DevicePaths, DiskLibrary };
constexpr Mode kPaths = Mode::DevicePaths;
constexpr Mode kLibrary = Mode::DiskLibrary;

enum class Fault {
    WholeRun,       // a transfer of several sectors moves nothing; single sectors work
    OneSector,      // a transfer stops in front of one sector
    NothingMoved,   // every transfer moves nothing
    ShortTransfer,  // every transfer moves less than a sector
    OpenFails,      // every transfer moves nothing and every open fails
};

std::string Describe(Fault fault, Mode mode) {
    const char* const faults[] = {"whole run", "one sector", "nothing moved", "short transfer",
                                  "open fails"};
    return std::string(faults[static_cast<int>(fault)]) +
           (mode == kLibrary ? ", disk library" : ", device paths");
}

// Makes the disk's reads (or writes) fail that way; OneSector fails the
// given absolute sector.
void Inject(MemoryDisk& disk, Fault fault, std::uint64_t sector, bool writes = false) {
    TransferFaults& faults = writes ? disk.faults.write : disk.faults.read;
    switch (fault) {
        case Fault::WholeRun:
            faults.failRunsLongerThanOneSector = true;
            break;
        case Fault::OneSector:
            faults.badSectors = {sector};
            break;
        case Fault::OpenFails:
            disk.faults.failEveryOpen = true;
            faults.moveNothing = true;
            break;
        case Fault::NothingMoved:
            faults.moveNothing = true;
            break;
        case Fault::ShortTransfer:
            faults.maxBytesPerCall = 100;
            break;
    }
}

std::vector<std::string> Said(const std::string& message) {
    return message.empty() ? std::vector<std::string>{}
                           : std::vector<std::string>{"message: " + message};
}

// A session on the hard disk and the floppy above.
struct FaultRun : WalkHarness {
    explicit FaultRun(Mode mode) {
        Place(kHardDiskImage, false);
        Place(kFloppyImage, true);
        Start(mode == kLibrary);
        screen.SetStatusText(kPositionPane, "before");
    }
    void Place(const char* description, bool floppy) {
        imagebuilder::Disk disk;
        std::string error;
        EXPECT_TRUE(imagebuilder::ParseDescription(description, disk, error)) << error;
        PlaceBuiltDisk(platform, disk, floppy);
    }
    // Expands every item above the one the path names.
    void OpenParents(const std::string& path) {
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            Batch("expand " + path.substr(0, slash) + "\n");
        }
    }
    MemoryDisk& DiskOf(const std::string& path) {
        return *platform.FindDisk(Record(path).driveNumber);
    }
    // The absolute sector of the item's sector n, or of a cluster of a
    // directory entry's volume.
    std::uint64_t Sector(const std::string& path, std::uint32_t n = 0) {
        return std::uint64_t{Record(path).baseSector} + Record(path).relativeSector + n;
    }
    std::uint64_t ClusterSector(const std::string& entry, std::uint32_t cluster) {
        return Sector(entry, (cluster - 2) * Record(entry).sectorsPerCluster);
    }
    // The position text of a directory entry's cluster.
    std::string ClusterPosition(const std::string& entry, std::uint32_t cluster) {
        const TreeItemInfo& item = Record(entry);
        char text[96];
        std::snprintf(text, sizeof text,
                      "Current Cluster Number: 0x%08X, Current Sector Number: %u", cluster,
                      item.relativeSector + (cluster - 2) * item.sectorsPerCluster);
        return text;
    }
    void Fail(const std::string& path, Fault fault, std::uint64_t sector, bool writes = false) {
        Inject(DiskOf(path), fault, sector, writes);
    }
    void Heal(const std::string& path) { DiskOf(path).faults = {}; }
    std::size_t Children(const std::string& path) { return screen.Children(Item(path)).size(); }
    int Rows() { return screen.GetListItemCount(); }
    int Columns() { return screen.GetListColumnCount(); }
    std::string Position() { return screen.StatusText(kPositionPane); }
    std::string Progress() { return screen.StatusText(kProgressPane); }
    RightPaneState& Pane() { return session.pane; }
    unsigned Opens() { return platform.counters.opens; }
    std::vector<std::uint8_t> Buffer(std::size_t offset, std::size_t bytes) {
        const std::uint8_t* data = Pane().currentBuffer.data() + offset;
        return {data, data + bytes};
    }
};

// ---- Disk inventory ----

// Only the disk library reads to find a hard disk (its sector 0); a probe
// that fails in any way ends the list without a word. Device paths open.
TEST(FaultMatrix, InventoryEndsAtTheFirstHardDiskWhoseProbeFails) {
    struct Case {
        Fault fault;
        Mode mode;
        std::size_t hardDisks;
    };
    const Case cases[] = {
        {Fault::NothingMoved, kLibrary, 1},
        {Fault::ShortTransfer, kLibrary, 1},
        {Fault::WholeRun, kLibrary, 2},  // the probe is one sector
        {Fault::NothingMoved, kPaths, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe(c.fault, c.mode));
        SessionHarness run;
        run.platform.AddHardDisk(1000);
        Inject(*run.platform.FindDisk(run.platform.AddHardDisk(1000)), c.fault, 0);
        run.platform.settings.diskLibrary = c.mode == kLibrary;
        InitDiskAccess(run.session);
        EXPECT_TRUE(run.printed.empty());
        EXPECT_EQ(run.RootTexts().size(), c.hardDisks);
        EXPECT_EQ(run.session.disk.hardDiskCount, c.hardDisks);
        EXPECT_EQ(run.session.disk.lastHardDiskItem, run.screen.Children(kTreeRoot).back());
        EXPECT_TRUE(run.session.disk.diskAccessReady);
    }
}

// ---- Partition walk ----

TEST(FaultMatrix, PartitionWalkEndsAnExpansionAtItsUnreadableSector) {
    struct Case {
        std::string item;
        Fault fault;
        Mode mode;
        std::string message;
    };
    const std::string table = "Partition table not accessible!";
    const std::string extended = "Extended partition not accessible!";
    const std::string boot = "Boot Record not accessible!";
    const Case cases[] = {
        {kHardDisk, Fault::NothingMoved, kPaths, table},
        {kHardDisk, Fault::ShortTransfer, kLibrary, table},
        {kHardDisk, Fault::OneSector, kLibrary, table},
        {kExtended, Fault::NothingMoved, kLibrary, extended},
        {kExtended, Fault::ShortTransfer, kPaths, extended},
        {kExtended, Fault::OneSector, kLibrary, extended},
        {kFat16, Fault::ShortTransfer, kPaths, boot},
        {kFat16, Fault::NothingMoved, kLibrary, boot},
        {kFat16, Fault::OneSector, kLibrary, boot},
        // A floppy is opened afresh before its read, which is not repeated.
        {kFloppy, Fault::NothingMoved, kPaths, boot},
        {kFloppy, Fault::ShortTransfer, kLibrary, boot},
        {kFloppy, Fault::OpenFails, kLibrary, boot},  // the library opens nothing; reads fail
        // Tables and boot records are read one sector each.
        {kHardDisk, Fault::WholeRun, kPaths, ""},
        {kFat16, Fault::WholeRun, kLibrary, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.item);
        run.Fail(c.item, c.fault, run.Sector(c.item));
        unsigned opens = run.Opens();
        run.Batch("expand " + c.item + "\n");
        EXPECT_EQ(run.printed, Said(c.message));
        EXPECT_EQ(run.Progress(), "");
        bool floppyByPath = c.item == kFloppy && c.mode == kPaths;
        EXPECT_EQ(run.Opens() - opens, floppyByPath ? 1u : 0u);
        // A failed expansion counts as done: the item keeps no children and
        // loses its button until the tree is refreshed.
        EXPECT_EQ(run.Children(c.item) > 0, c.message.empty());
        EXPECT_EQ(run.screen.HasButton(run.Item(c.item)), c.message.empty());
        EXPECT_EQ(run.platform.LiveBlocks(), 2u);  // the item pools: the sector is given back
    }
}

TEST(FaultMatrix, FloppyThatCannotBeOpenedRefusesEveryExpansionByDevicePath) {
    FaultRun run(kPaths);
    run.Fail(kFloppy, Fault::OpenFails, 0);
    unsigned opens = run.Opens();
    run.Batch("expand " + kFloppy + "\nexpand " + kFloppy + "\n");
    EXPECT_EQ(run.printed, (std::vector<std::string>{"message: Drive not accessible!",
                                                     "message: Drive not accessible!"}));
    EXPECT_TRUE(run.screen.HasButton(run.Item(kFloppy)));  // refused, so tried again
    EXPECT_EQ(run.Children(kFloppy), 0u);
    EXPECT_EQ(run.Opens() - opens, 2u);  // one for each attempt
    EXPECT_EQ(run.session.disk.driveHandles[0], kInvalidHandle);

    FaultRun library(kLibrary);
    library.DiskOf(kFloppy).faults.failEveryOpen = true;
    library.Batch("expand " + kFloppy + "\n");
    EXPECT_TRUE(library.printed.empty());
    EXPECT_EQ(library.Children(kFloppy), 3u);
    EXPECT_EQ(library.Opens(), 0u);
}

// ---- Partition table and boot record presenters ----

TEST(FaultMatrix, TablePresentersKeepTheirHeadingsAloneAfterAFailedRead) {
    struct Case {
        std::string item;
        Fault fault;
        Mode mode;
        std::string message;
        unsigned opens;
    };
    const std::string tablePaths = "Partition Table not accessible!";
    const std::string tableLibrary = "Partition Table inaccessible!";
    const std::string bootPaths = "Boot Record not accessible!";
    const std::string bootLibrary = "Boot Record inaccessible!";
    const Case cases[] = {
        // A hard disk's handle is never renewed.
        {kHardDisk, Fault::NothingMoved, kPaths, tablePaths, 0},
        {kHardDisk, Fault::ShortTransfer, kPaths, tablePaths, 0},
        {kHardDisk, Fault::ShortTransfer, kLibrary, tableLibrary, 0},
        {kExtended, Fault::OneSector, kPaths, tablePaths, 0},
        {kExtended, Fault::NothingMoved, kLibrary, tableLibrary, 0},
        {kFat16, Fault::OneSector, kPaths, bootPaths, 0},
        {kFat16, Fault::OneSector, kLibrary, bootLibrary, 0},
        {kFat16, Fault::ShortTransfer, kPaths, bootPaths, 0},
        {kFat16, Fault::NothingMoved, kLibrary, bootLibrary, 0},
        // A floppy is opened before its read, and again only when nothing came.
        {kFloppy, Fault::ShortTransfer, kPaths, bootPaths, 1},
        {kFloppy, Fault::ShortTransfer, kLibrary, bootLibrary, 0},
        {kFloppy, Fault::WholeRun, kPaths, "", 1},
        {kHardDisk, Fault::WholeRun, kLibrary, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.item);
        run.Fail(c.item, c.fault, run.Sector(c.item));
        unsigned opens = run.Opens();
        run.Batch("select " + c.item + "\n");
        EXPECT_EQ(run.printed, Said(c.message));
        bool table = run.Record(c.item).kind != IK_VOLUME;
        EXPECT_EQ(run.Columns(), table ? 3 : 2);
        EXPECT_EQ(run.Rows(), !c.message.empty() ? 0 : table ? 40 : 13);
        EXPECT_EQ(run.Opens() - opens, c.opens);
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.viewMode, VM_NONE);
        EXPECT_EQ(pane.currentBuffer.size(), 512u);
        EXPECT_FALSE(pane.canGoPrevious || pane.canGoNext);
        EXPECT_EQ(run.Progress(), "");
        EXPECT_EQ(run.Position(), "before");
    }
}

// No tree item puts a partition table on a floppy, but the presenter given
// one renews the volume's handle when nothing was read, once.
TEST(FaultMatrix, PartitionTableOfAFloppyRenewsItsHandleOnce) {
    FaultRun run(kPaths);
    TreeItemInfo table = run.Record(kFloppy);  // never opened: its handle is 0
    table.kind = IK_HARD_DISK;
    run.DiskOf(kFloppy).faults.failEveryOpen = true;
    unsigned opens = run.Opens();
    DispatchSelection(run.session.Io(), run.Pane(), &table);
    EXPECT_TRUE(run.printed.empty());
    EXPECT_EQ(run.Columns(), 3);
    EXPECT_EQ(run.Rows(), 0);
    EXPECT_EQ(run.session.disk.driveHandles[0], kInvalidHandle);
    EXPECT_EQ(run.Opens() - opens, 1u);

    run.DiskOf(kFloppy).faults.failEveryOpen = false;
    DispatchSelection(run.session.Io(), run.Pane(), &table);
    EXPECT_EQ(run.Rows(), 40);
    EXPECT_EQ(run.Opens() - opens, 2u);
}

// ---- FAT grids ----

TEST(FaultMatrix, FatGridsListWhatTheReadLeftOrOnlyTheirHeadings) {
    struct Case {
        std::string fat;
        Fault fault;
        Mode mode;
        int rowsPerSector;  // 0: the twelve-bit grid, which shows no rows
        std::string firstEntry;
    };
    const Case cases[] = {
        // Read again sector by sector: every entry is there.
        {kFat16 + "/FAT 1", Fault::WholeRun, kPaths, 16, "FFF8"},
        {kFat32 + "/FAT 1", Fault::WholeRun, kPaths, 8, "0FFFFFF8"},
        {kFat16 + "/FAT 1", Fault::WholeRun, kLibrary, 16, "FFF8"},
        // Every sector filled.
        {kFat16 + "/FAT 1", Fault::NothingMoved, kLibrary, 16, "E5E5"},
        {kFat16 + "/FAT 1", Fault::ShortTransfer, kPaths, 16, "E5E5"},
        {kFat32 + "/FAT 1", Fault::ShortTransfer, kLibrary, 8, "05E5E5E5"},
        {kFat32 + "/FAT 1", Fault::NothingMoved, kPaths, 8, "05E5E5E5"},
        {kFat12 + "/FAT 1", Fault::NothingMoved, kPaths, 0, ""},
        {kFat12 + "/FAT 1", Fault::ShortTransfer, kLibrary, 0, ""},
        {kFloppy + "/FAT 1", Fault::WholeRun, kPaths, 0, ""},
        {kFloppy + "/FAT 1", Fault::OpenFails, kPaths, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fat + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.fat);
        run.Fail(c.fat, c.fault, 0);
        run.Batch("select " + c.fat + "\n");
        EXPECT_EQ(run.printed, Said("FAT not accessible!"));
        const TreeItemInfo& item = run.Record(c.fat);
        EXPECT_EQ(run.Columns(), 17);
        EXPECT_EQ(run.Rows(), c.rowsPerSector * static_cast<int>(item.sectorCount));
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.viewMode, item.kind);  // the grid's view mode is its FAT type's code
        EXPECT_EQ(pane.currentBuffer.size(), item.sectorCount * 512u);
        if (c.rowsPerSector > 0) {
            EXPECT_EQ(run.screen.CellText(0, 1), c.firstEntry);
            EXPECT_EQ(run.Position(),
                      "Current Sector Number: " + std::to_string(item.relativeSector));
        } else {
            EXPECT_EQ(run.Position(), "before");
        }
        EXPECT_EQ(run.Progress(), "");
    }
}

// ---- Root directory: the tree's listing and the presenter ----

TEST(FaultMatrix, RootDirectoryIsListedFromWhatTheReadLeft) {
    struct Case {
        std::string root;
        Fault fault;
        Mode mode;
        std::size_t children;
        int rows;
        unsigned opens;  // of each read of the root
    };
    const Case cases[] = {
        // Read again sector by sector, every entry is there.
        {kFat16Root, Fault::WholeRun, kPaths, 2, 2, 0},
        {kFat16Root, Fault::WholeRun, kLibrary, 2, 2, 0},
        // Every sector filled: deleted entries, which the tree leaves out.
        {kFat16Root, Fault::NothingMoved, kLibrary, 0, 512, 0},
        {kFat16Root, Fault::ShortTransfer, kPaths, 0, 512, 0},
        // Each transfer that moved nothing opens the volume again: the run,
        // then each of its fourteen sectors.
        {kFloppyRoot, Fault::NothingMoved, kPaths, 0, 224, 15},
        // A volume that cannot be opened fails the run without the retry:
        // the buffer stays zero, an end mark.
        {kFloppyRoot, Fault::OpenFails, kPaths, 0, 0, 1},
    };
    const std::string deleted = "\xE5\xE5\xE5\xE5\xE5\xE5\xE5\xE5.\xE5\xE5\xE5";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.root);
        run.Fail(c.root, c.fault, run.Sector(c.root, 1));
        unsigned opens = run.Opens();
        run.Batch("expand " + c.root + "\n");
        EXPECT_EQ(run.printed, Said("Root Directory not fully accessible!"));
        EXPECT_EQ(run.Children(c.root), c.children);
        EXPECT_EQ(run.Progress(), "");  // the listing went on to its end
        EXPECT_EQ(run.Opens() - opens, c.opens);
        EXPECT_EQ(run.platform.LiveBlocks(), 2u);

        run.printed.clear();
        run.Batch("select " + c.root + "\n");
        EXPECT_EQ(run.printed, Said("Root Directory not fully accessible!"));
        EXPECT_EQ(run.Columns(), 8);
        ASSERT_EQ(run.Rows(), c.rows);
        if (c.rows > 0) {
            EXPECT_EQ(run.screen.CellText(0, 0), c.children > 0 ? "SCATTER .BIN" : deleted);
        }
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.viewMode, VM_ROOT_DIR);
        EXPECT_TRUE(pane.directoryRows.block);
        EXPECT_EQ(pane.currentBuffer.size(), run.Record(c.root).sectorCount * 512u);
        EXPECT_EQ(run.Position(),
                  "Current Sector Number: " + std::to_string(run.Record(c.root).relativeSector));
        EXPECT_EQ(run.Progress(), "");
    }
}

// ---- Sub-directories: FAT copy 1, then copy 2, then the clusters ----

TEST(FaultMatrix, SubDirectoryTriesBothFatCopiesThenReadsItsClusters) {
    using Where = std::function<std::uint64_t(FaultRun&)>;
    struct Case {
        std::string directory;
        Fault fault;
        Mode mode;
        Where where;                 // of the one sector, if that is the fault
        std::string treeMessage;     // the expansion's
        std::string listingMessage;  // the presenter's
        int rows;                    // -1: an empty pane, without headings
    };
    auto firstFatCopy = [](const std::string& directory) {
        return [directory](FaultRun& run) {
            return run.Record(directory).baseSector + run.Record(directory).reservedSectors + 0ull;
        };
    };
    auto cluster = [](const std::string& directory, std::uint32_t number) {
        return [directory, number](FaultRun& run) { return run.ClusterSector(directory, number); };
    };
    const std::string fat = "FAT not accessible!";
    const std::string notLoaded = "Not able to load the sub-directory";
    const std::string notFullyLoaded = "Not able to fully load the sub-directory";
    const Case cases[] = {
        // Twenty-sector FAT copies are runs: both fail.
        {kDocs, Fault::WholeRun, kPaths, {}, fat, fat, -1},
        {kDocs, Fault::NothingMoved, kLibrary, {}, fat, fat, -1},
        {kDocs, Fault::ShortTransfer, kPaths, {}, fat, fat, -1},
        {kFat32Root, Fault::ShortTransfer, kLibrary, {}, fat, fat, -1},
        {kSub, Fault::NothingMoved, kPaths, {}, fat, fat, -1},
        // The second copy serves without a word.
        {kDocs, Fault::OneSector, kLibrary, firstFatCopy(kDocs), "", "", 1},
        // One-sector FATs read; the four-sector clusters do not.
        {kSub, Fault::WholeRun, kPaths, {}, notLoaded, notFullyLoaded, 1},
        {kSub, Fault::WholeRun, kLibrary, {}, notLoaded, notFullyLoaded, 1},
        {kSub, Fault::OneSector, kLibrary, cluster(kSub, 4), notLoaded, notFullyLoaded, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.directory);
        run.Batch("select " + kHardDisk + "\n");  // rows that must not stay
        run.screen.SetStatusText(kPositionPane, "before");
        run.Fail(c.directory, c.fault, c.where ? c.where(run) : 0);

        run.Batch("expand " + c.directory + "\n");
        EXPECT_EQ(run.printed, Said(c.treeMessage));
        EXPECT_EQ(run.Children(c.directory), c.treeMessage.empty() ? 1u : 0u);
        EXPECT_EQ(run.screen.HasButton(run.Item(c.directory)), c.treeMessage.empty());
        // A message ends the listing; the progress pane keeps the reads' text.
        EXPECT_EQ(run.Progress(), c.treeMessage.empty() ? "" : "Wait....");
        EXPECT_EQ(run.platform.LiveBlocks(), 3u);  // the pools and the table's sector

        run.printed.clear();
        run.Batch("select " + c.directory + "\n");
        EXPECT_EQ(run.printed, Said(c.listingMessage));
        RightPaneState& pane = run.Pane();
        const TreeItemInfo& item = run.Record(c.directory);
        if (c.rows < 0) {
            EXPECT_EQ(run.Columns(), 0);
            EXPECT_EQ(run.Rows(), 0);
            EXPECT_EQ(pane.viewMode, VM_NONE);
            EXPECT_FALSE(pane.directoryRows.block);
            EXPECT_EQ(pane.currentBuffer.size(), item.sectorsPerFat * 512u);  // the FAT's
            EXPECT_EQ(run.Position(), "before");
        } else {
            EXPECT_EQ(run.Columns(), 8);
            EXPECT_EQ(run.Rows(), c.rows);
            EXPECT_EQ(pane.viewMode, VM_SUBDIRECTORY);
            EXPECT_TRUE(pane.directoryRows.block);
            EXPECT_EQ(pane.currentBuffer.size(), 2u * item.sectorsPerCluster * 512);
            EXPECT_EQ(run.Position(), run.ClusterPosition(c.directory, item.firstCluster));
        }
        EXPECT_EQ(run.Progress(), "");
    }
}

// ---- Sector dumps ----

TEST(FaultMatrix, FirstDumpSectorIsReadByItsOwnAddressOrAsARunOfOne) {
    struct Case {
        std::string item;
        Fault fault;
        Mode mode;
        std::string message;
        bool read;
        unsigned opens;
    };
    const std::string boot = "Boot Record not accessible!";
    const std::string sector = "Sector not accessible!";
    const Case cases[] = {
        // A hard disk's handle is never renewed.
        {kHardDisk, Fault::NothingMoved, kPaths, boot, false, 0},
        {kHardDisk, Fault::NothingMoved, kLibrary, sector, false, 0},
        {kHardDisk, Fault::ShortTransfer, kPaths, boot, false, 0},
        {kHardDisk, Fault::ShortTransfer, kLibrary, sector, false, 0},
        {kExtended, Fault::OneSector, kPaths, boot, false, 0},
        {kFat16, Fault::OneSector, kLibrary, sector, false, 0},
        // Never opened before: nothing moves, the volume is opened and read again.
        {kFloppy, Fault::NothingMoved, kPaths, boot, false, 1},
        {kFloppy, Fault::OpenFails, kPaths, "", false, 1},
        {kFloppy, Fault::ShortTransfer, kLibrary, sector, false, 0},
        // Items behind the first sector of their origin.
        {kFat16 + "/FAT 1", Fault::OneSector, kPaths, sector, false, 0},
        {kFat16 + "/FAT 1", Fault::NothingMoved, kLibrary, sector, false, 0},
        {kFloppy + "/FAT 1", Fault::OpenFails, kPaths, sector, false, 1},
        {kFat16 + "/FAT 1", Fault::WholeRun, kPaths, "", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.item);
        run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
        run.Fail(c.item, c.fault, run.Sector(c.item));
        unsigned opens = run.Opens();
        run.Batch("select " + c.item + "\n");
        EXPECT_EQ(run.printed, Said(c.message));
        EXPECT_EQ(run.Opens() - opens, c.opens);
        EXPECT_EQ(run.Columns(), 34);
        EXPECT_EQ(run.Rows(), c.read ? 32 : 0);
        // The position is set as for a sector that was read.
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.viewMode, VM_SECTOR_DUMP);
        EXPECT_EQ(pane.currentIndex, 0u);
        EXPECT_FALSE(pane.canGoPrevious);
        EXPECT_EQ(pane.canGoNext, run.Record(c.item).sectorCount != 1);
        EXPECT_EQ(pane.currentItem.kind, run.Record(c.item).kind);
        EXPECT_EQ(pane.unitRead, c.read);
        EXPECT_EQ(pane.currentBuffer.size(), 512u);
        EXPECT_EQ(run.Position(), c.read ? "Current Sector Number: " +
                                               std::to_string(run.Record(c.item).relativeSector)
                                         : "before");
        EXPECT_EQ(run.Progress(), "");
    }
}

TEST(FaultMatrix, PagedSectorThatCannotBeReadMovesOnlyThePosition) {
    struct Case {
        std::string item;
        Fault fault;
        Mode mode;
    };
    const Case cases[] = {
        {kFat16 + "/FAT 1", Fault::NothingMoved, kPaths},
        {kFat16 + "/FAT 1", Fault::ShortTransfer, kLibrary},
        {kFloppy + "/FAT 1", Fault::OpenFails, kPaths},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.item);
        run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
        run.Batch("select " + c.item + "\n");
        const std::string first = run.Position();
        run.Fail(c.item, c.fault, run.Sector(c.item, 1));
        run.Batch("command next\n");
        EXPECT_EQ(run.printed, Said("Sector not accessible!"));
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.currentIndex, 1u);
        EXPECT_TRUE(pane.canGoPrevious && pane.canGoNext);
        EXPECT_FALSE(pane.unitRead);
        EXPECT_EQ(run.Rows(), 32);
        EXPECT_EQ(run.Position(), first);
        EXPECT_EQ(run.Progress(), "Wait....");
        if (c.fault == Fault::OpenFails) {
            EXPECT_EQ(run.session.disk.driveHandles[0], kInvalidHandle);
        }
        run.Heal(c.item);
        run.Batch("command previous\n");
        EXPECT_TRUE(pane.unitRead);
        EXPECT_EQ(run.Position(), first);
        EXPECT_EQ(run.Progress(), "");
    }
}

// ---- Cluster dumps ----

TEST(FaultMatrix, ClusterDumpStopsAtItsFatOrShowsWhatTheClusterReadLeft) {
    struct Case {
        std::string file;
        Fault fault;
        Mode mode;
        std::string message;
    };
    const std::string fat = "FAT not accessible!";
    const std::string cluster = "Cluster not accessible!";
    const Case cases[] = {
        {kScatter, Fault::WholeRun, kPaths, fat},  // FAT copies of twenty sectors
        {kScatter, Fault::NothingMoved, kLibrary, fat},
        {kScatter, Fault::ShortTransfer, kPaths, fat},
        {kSmall, Fault::NothingMoved, kPaths, fat},
        {kSmall, Fault::WholeRun, kPaths, cluster},  // a FAT of one sector reads
        {kSmall, Fault::WholeRun, kLibrary, cluster},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.file);
        run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
        run.Fail(c.file, c.fault, 0);
        run.Batch("select " + c.file + "\n");
        EXPECT_EQ(run.printed, Said(c.message));
        EXPECT_EQ(run.Columns(), 34);
        RightPaneState& pane = run.Pane();
        const TreeItemInfo& item = run.Record(c.file);
        if (c.message == fat) {
            EXPECT_EQ(run.Rows(), 0);
            EXPECT_EQ(pane.viewMode, VM_NONE);
            EXPECT_FALSE(pane.clusterChain);
            EXPECT_EQ(pane.currentBuffer.size(), item.sectorsPerFat * 512u);
            EXPECT_FALSE(pane.canGoPrevious || pane.canGoNext);
            EXPECT_EQ(run.Position(), "before");
            EXPECT_EQ(run.Progress(), "");
            continue;
        }
        // The cluster, read again sector by sector, is whole but not taken as read.
        EXPECT_EQ(run.Rows(), 4 * 32);
        EXPECT_EQ(pane.viewMode, VM_CLUSTER_DUMP);
        EXPECT_FALSE(pane.unitRead);
        EXPECT_EQ(pane.clusterChain.Length(), 2u);
        EXPECT_TRUE(pane.clusterChain);
        EXPECT_FALSE(pane.canGoPrevious);
        EXPECT_TRUE(pane.canGoNext);
        EXPECT_EQ(run.Buffer(2040, 6), (std::vector<std::uint8_t>{'s', 'm', 'a', 'l', 'l', ' '}));
        EXPECT_EQ(run.Position(), "Current Cluster Number: 0x00000005, Current Sector Number: " +
                                      std::to_string(item.relativeSector + 3 * 4));
        EXPECT_EQ(run.Progress(), "");
    }
}

TEST(FaultMatrix, DirectoryClusterDumpKeepsThePreviousRowsUntilItsDataIsReady) {
    struct Case {
        std::string directory;
        Fault fault;
        Mode mode;
        std::uint32_t badCluster;  // for OneSector
        std::string message;
    };
    const std::string fat = "FAT not accessible!";
    const std::string cluster = "Cluster not accessible!";
    const Case cases[] = {
        {kDocs, Fault::NothingMoved, kPaths, 0, fat},
        {kFat32Root, Fault::ShortTransfer, kLibrary, 0, fat},
        {kDocs, Fault::OneSector, kLibrary, 10, cluster},
        {kSub, Fault::WholeRun, kPaths, 0, cluster},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.directory);
        run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
        run.Batch("select " + kHardDisk + "\n");
        run.Fail(c.directory, c.fault,
                 c.badCluster != 0 ? run.ClusterSector(c.directory, c.badCluster) : 0);
        run.Batch("select " + c.directory + "\n");
        EXPECT_EQ(run.printed, Said(c.message));
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(run.Columns(), 34);
        if (c.message == fat) {
            // The sector dump's rows stay, drawn from nothing.
            EXPECT_EQ(run.Rows(), 32);
            EXPECT_EQ(run.screen.CellText(0, 1), "");
            EXPECT_EQ(pane.viewMode, VM_NONE);
            EXPECT_FALSE(pane.clusterChain);
            EXPECT_EQ(run.Position(), "Current Sector Number: 0");
        } else {
            EXPECT_EQ(run.Rows(), run.Record(c.directory).sectorsPerCluster * 32);
            EXPECT_EQ(run.screen.Columns()[0].width, 100);
            EXPECT_EQ(pane.viewMode, VM_CLUSTER_DUMP);
            EXPECT_FALSE(pane.unitRead);
            EXPECT_TRUE(pane.canGoNext);
        }
        EXPECT_EQ(run.Progress(), "");
    }
}

TEST(FaultMatrix, PagedClusterIsShownFromWhatTheReadLeft) {
    struct Case {
        std::string file;
        Fault fault;
        Mode mode;
        std::uint32_t nextCluster;
        std::uint8_t firstByte;  // of the buffer after the read
    };
    const Case cases[] = {
        // Read again sector by sector: byte 2048 of "small small ...".
        {kSmall, Fault::WholeRun, kPaths, 6, 'a'},
        {kScatter, Fault::NothingMoved, kLibrary, 9, 0xE5},
        {kScatter, Fault::ShortTransfer, kPaths, 9, 0xE5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.file);
        run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
        run.Batch("select " + c.file + "\n");
        run.Fail(c.file, c.fault, 0);
        run.Batch("command next\n");
        EXPECT_EQ(run.printed, Said("Cluster not accessible!"));
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.currentIndex, 1u);
        EXPECT_TRUE(pane.canGoPrevious);
        EXPECT_EQ(pane.canGoNext, pane.clusterChain.Length() > 2);
        EXPECT_FALSE(pane.unitRead);
        EXPECT_EQ(pane.currentBuffer.data()[0], c.firstByte);
        EXPECT_EQ(run.Position(), run.ClusterPosition(c.file, c.nextCluster));
        EXPECT_EQ(run.Progress(), "");
    }
}

// ---- Write Changes ----

enum class Unit { Cluster, Sector, FloppySector, FloppyFirstSector };
const char* const kUnitNames[] = {"cluster", "sector", "floppy sector", "floppy's first sector"};

struct WriteCase {
    Unit unit;
    Fault fault;
    Mode mode;
    std::string message;  // "" for none
    bool firstRowLands;
    bool lastRowLands;
    unsigned opens;
};

// Shows the unit in a dump; answers its first absolute sector and the
// disk's path.
std::pair<std::uint64_t, std::string> ShowUnit(FaultRun& run, Unit unit) {
    run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    switch (unit) {
        case Unit::Cluster:
            run.OpenParents(kScatter);
            run.Batch("select " + kScatter + "\n");
            return {run.ClusterSector(kScatter, 5), kScatter};
        case Unit::Sector:
            run.OpenParents(kFat16 + "/FAT 1");
            run.Batch("select " + kFat16 + "/FAT 1\ncommand next\ncommand next\n");
            return {run.Sector(kFat16 + "/FAT 1", 2), kFat16};
        case Unit::FloppySector:
            run.OpenParents(kFloppy + "/FAT 1");
            run.Batch("select " + kFloppy + "/FAT 1\n");
            return {run.Sector(kFloppy + "/FAT 1"), kFloppy};
        case Unit::FloppyFirstSector:
            run.Batch("select " + kFloppy + "\n");
            return {0, kFloppy};
    }
    return {};
}

TEST(FaultMatrix, WriteChangesReportsSuccessOnlyWhenTheWholeUnitArrived) {
    const std::string cluster = "Cluster not accessible!";
    const std::string sector = "Sector not accessible!";
    const std::string critical = "Critical Sector not accessible!";
    const WriteCase cases[] = {
        // The sector-by-sector retry writes every sector it can.
        {Unit::Cluster, Fault::OneSector, kPaths, cluster, true, true, 0},
        {Unit::Cluster, Fault::OneSector, kLibrary, cluster, true, true, 0},
        {Unit::Cluster, Fault::WholeRun, kPaths, cluster, true, true, 0},
        {Unit::Cluster, Fault::NothingMoved, kLibrary, cluster, false, false, 0},
        {Unit::Cluster, Fault::ShortTransfer, kPaths, cluster, true, false, 0},
        {Unit::Sector, Fault::ShortTransfer, kLibrary, sector, true, false, 0},
        {Unit::Sector, Fault::OneSector, kPaths, sector, false, false, 0},
        {Unit::Sector, Fault::WholeRun, kLibrary, "Changes written successfully!", true, true, 0},
        // Opened again for a write that moved nothing: failing that fails the run.
        {Unit::FloppySector, Fault::OpenFails, kPaths, sector, false, false, 1},
        // A floppy's own first sector: the volume is opened again only when
        // the write moved nothing.
        {Unit::FloppyFirstSector, Fault::OpenFails, kPaths, "", false, false, 1},
        {Unit::FloppyFirstSector, Fault::NothingMoved, kPaths, critical, false, false, 1},
        {Unit::FloppyFirstSector, Fault::ShortTransfer, kPaths, critical, true, false, 0},
        {Unit::FloppyFirstSector, Fault::NothingMoved, kLibrary, critical, false, false, 0},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(kUnitNames[static_cast<int>(c.unit)] + (", " + Describe(c.fault, c.mode)));
        FaultRun run(c.mode);
        auto [first, path] = ShowUnit(run, c.unit);
        int lastRow = run.Rows() - 1;
        ASSERT_GT(lastRow, 0);
        run.Batch("edit 0 " + std::string(kSixteen) + "\nedit " + std::to_string(lastRow) + " " +
                  std::string(kSixteen) + "\n");
        const ViewMode mode = run.Pane().viewMode;
        const std::uint32_t index = run.Pane().currentIndex;
        // One sector: the second of a cluster, or the sector itself.
        run.Fail(path, c.fault, first + (c.unit == Unit::Cluster ? 1 : 0), true);
        unsigned opens = run.Opens();
        run.printed.clear();
        run.Batch("answer yes\ncommand write\n");
        std::vector<std::string> expected{"confirm: Are you sure to write to disk? -> yes"};
        for (const std::string& line : Said(c.message)) {
            expected.push_back(line);
        }
        EXPECT_EQ(run.printed, expected);
        EXPECT_EQ(run.Opens() - opens, c.opens);
        MemoryDisk& disk = run.DiskOf(path);
        EXPECT_EQ(PeekBytes(disk, first * 512, 16) == kSixteenBytes, c.firstRowLands);
        EXPECT_EQ(PeekBytes(disk, first * 512 + lastRow * 16ull, 16) == kSixteenBytes,
                  c.lastRowLands);
        // Nothing is rolled back or read again: the unit can be written again.
        RightPaneState& pane = run.Pane();
        EXPECT_EQ(pane.viewMode, mode);
        EXPECT_EQ(pane.currentIndex, index);
        EXPECT_TRUE(pane.unitRead);
        EXPECT_EQ(run.Buffer(0, 16), kSixteenBytes);
    }
}

// What was never read is never written: the unit's message, and no write.
TEST(FaultMatrix, UnitThatCouldNotBeReadIsNotWritten) {
    struct Case {
        std::string item;
        Fault fault;
        Mode mode;
        std::string message;
    };
    const Case cases[] = {
        {kHardDisk, Fault::NothingMoved, kPaths, "Critical Sector not accessible!"},
        {kFloppy, Fault::OpenFails, kPaths, "Critical Sector not accessible!"},
        {kFat16 + "/FAT 1", Fault::ShortTransfer, kLibrary, "Sector not accessible!"},
        {kSmall, Fault::WholeRun, kLibrary, "Cluster not accessible!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item + ", " + Describe(c.fault, c.mode));
        FaultRun run(c.mode);
        run.OpenParents(c.item);
        run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
        run.Fail(c.item, c.fault, run.Sector(c.item));
        run.Batch("select " + c.item + "\n");
        ASSERT_FALSE(run.Pane().unitRead);
        run.Heal(c.item);
        run.printed.clear();
        run.Batch("answer yes\ncommand write\n");
        EXPECT_EQ(run.printed.back(), "message: " + c.message);
        EXPECT_EQ(run.platform.counters.writes + run.platform.counters.libraryWrites, 0u);
    }

    // A dump without its buffer shows nothing to write.
    FaultRun run(kPaths);
    run.screen.SetMenuChecked(CMD_SECTOR_DUMPING, true);
    run.platform.settings.failingAllocation = run.platform.counters.allocations + 2;
    run.Batch("select " + kHardDisk + "\n");
    ASSERT_FALSE(run.Pane().currentBuffer);
    run.printed.clear();
    run.Batch("answer yes\ncommand write\n");
    EXPECT_EQ(run.printed,
              std::vector<std::string>{"confirm: Are you sure to write to disk? -> yes"});
    EXPECT_EQ(run.platform.counters.writes, 0u);
}

}  // namespace
}  // namespace brovane

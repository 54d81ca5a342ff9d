// Every failure path of the core, in both access modes: the platform double
// fails transfers in each way a transfer fails (a run of several sectors as
// a whole while single sectors work, one sector, nothing moved, less than a
// sector moved, opens), or refuses the n-th allocation. Each case runs
// brovane-batch lines on one hard disk and one floppy and compares what was
// said and a one-line summary of the panes with literals (see Shown).
#include <gtest/gtest.h>

#include "app/command_state.h"
#include "dump/dump_position.h"
#include "tree/item_storage.h"
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
const std::string kFat16Fat = kFat16 + "/FAT 1";
const std::string kFloppyFat = kFloppy + "/FAT 1";
const std::string kFat16Root = kFat16 + "/Root Directory";
const std::string kFat32Root = kFat32 + "/Root Directory";
const std::string kFloppyRoot = kFloppy + "/Root Directory";
const std::string kScatter = kFat16Root + "/#1";           // clusters 5, 9, 6
const std::string kDocs = kFat16Root + "/#2";              // clusters 10, 11
const std::string kSub = kFat12 + "/Root Directory/#1";    // clusters 3, 4
const std::string kSmall = kFat12 + "/Root Directory/#2";  // clusters 5, 6

enum Mode { kPaths, kLibrary };  // device paths or the disk library

enum Fault {
    kWhole,      // a transfer of several sectors moves nothing; single sectors work
    kOne,        // a transfer stops in front of the given sector
    kNothing,    // every transfer moves nothing
    kShort,      // every transfer moves less than a sector
    kOpenFails,  // every transfer moves nothing and every open fails
    kRefused,    // every open fails
};

// Makes the disk's reads (or writes) fail that way.
void Inject(MemoryDisk& disk, Fault fault, std::uint64_t sector, bool writes = false) {
    TransferFaults& faults = writes ? disk.faults.write : disk.faults.read;
    faults.failRunsLongerThanOneSector = fault == kWhole;
    faults.badSectors = {};
    if (fault == kOne) {
        faults.badSectors = {sector};
    }
    faults.moveNothing = fault == kNothing || fault == kOpenFails;
    faults.maxBytesPerCall = fault == kShort ? 100 : faults.maxBytesPerCall;
    disk.faults.failEveryOpen = fault == kOpenFails || fault == kRefused;
}

// A session on the hard disk and the floppy above.
struct FaultRun : WalkHarness {
    explicit FaultRun(Mode mode) {
        PlaceDescription(kHardDiskImage);
        PlaceDescription(kFloppyImage, true);
        Start(mode == kLibrary);
        screen.SetStatusText(kPositionPane, "before");
    }
    MemoryDisk& DiskOf(const std::string& path) {
        return *platform.FindDisk(path.rfind(kFloppy, 0) == 0 ? 0 : 0x80);
    }
    unsigned Writes() { return platform.counters.writes + platform.counters.libraryWrites; }
    // Runs the lines one by one, "%" standing for the item and "heal" ending
    // the faults; answers what each line said ("-" for nothing), "W" when the
    // progress pane still shows text after it, lines joined by " / ".
    std::string Run(const std::string& lines, const std::string& item) {
        std::string said;
        for (std::string line : Split(lines)) {
            for (std::size_t at; (at = line.find('%')) != std::string::npos;) {
                line.replace(at, 1, item);
            }
            printed.clear();
            if (line == "heal") {
                DiskOf(item).faults = {};
            } else {
                Batch(line + "\n");
            }
            std::string texts;
            for (const std::string& text : printed) {
                texts += (texts.empty() ? "" : "; ") +
                         (text.rfind("message: ", 0) == 0 ? text.substr(9) : text);
            }
            texts += StatusText(kProgressPane).empty() ? "" : texts.empty() ? "W" : " W";
            said += (said.empty() ? "" : " / ") + (texts.empty() ? "-" : texts);
        }
        return said;
    }
    const std::string& StatusText(int pane) { return screen.StatusText(pane); }
    // The right pane and the item: rows x columns, the first row's second
    // cell, view mode, unit read (r) or not (u), previous (<) and next (>)
    // enabled, unit index (iN), buffer bytes (bN), position ("-" when not
    // set, sN a sector, cX/sN a cluster); then opens and closes during the
    // case (oN, cN), the item's children (kN), "+" for its button, live
    // blocks (LN) and writes (wN). Numbers that are 0 are left out.
    std::string Shown(const std::string& item, unsigned opens, unsigned writes, unsigned closes) {
        const RightPaneState& pane = session.pane;
        const int rows = screen.GetListItemCount();
        const std::size_t children = screen.Children(Item(item)).size();
        auto field = [](const char* name, std::size_t n) {
            return n == 0 ? std::string() : " " + (name + std::to_string(n));
        };
        return std::to_string(rows) + "x" + std::to_string(screen.GetListColumnCount()) +
               (rows > 0 ? " " + EscapeText(screen.CellText(0, 1)) : "") + " vm" +
               std::to_string(pane.viewMode) + (pane.unitRead ? " r" : " u") +
               (pane.canGoPrevious ? "<" : "-") + (pane.canGoNext ? ">" : "-") +
               field("i", pane.currentIndex) + field("b", pane.currentBuffer.size()) + " " +
               Position() + field("o", platform.counters.opens - opens) +
               field("c", platform.counters.closes - closes) + field("k", children) +
               (screen.HasButton(Item(item)) ? " +" : "") + field("L", platform.LiveBlocks()) +
               field("w", Writes() - writes);
    }
    std::string Position() {
        std::string text = StatusText(kPositionPane);
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"before", "-"},
                                       {"Current Cluster Number: 0x", "c"},
                                       {", Current Sector Number: ", "/s"},
                                       {"Current Sector Number: ", "s"}}) {
            if (std::size_t at = text.find(from); at != std::string::npos) {
                text.replace(at, from.size(), to);
            }
        }
        return text;
    }
};

// Lines run before the fault and with it, split by "|".
const std::string kExpand = "|expand %";
const std::string kSelect = "|select %";
const std::string kDump = "key Ctrl+F4|select %";
const std::string kPage = "key Ctrl+F4\nselect %|command next";
const std::string kList = "select Hard Disk 1|expand %\nselect %";  // rows that must not stay
const std::string kOver = "key Ctrl+F4\nselect Hard Disk 1|select %";
const std::string kUnwritten = "key Ctrl+F4|select %\nheal\nanswer yes\ncommand write";

struct Case {
    std::string item;  // its parents are expanded first
    std::string lines;
    Fault fault;
    Mode mode;
    std::string said;
    std::string shown;
    std::uint64_t sector = 0;  // the one that fails, for kOne
    bool writes = false;       // the fault is the writes', not the reads'
};

// Whether the unit shown holds the sixteen bytes of kEdits at its first and
// at its last row: "+" or "-" each.
const std::vector<std::uint8_t> kSixteen{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                                         0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0};
std::string Landed(FaultRun& run, const std::string& item) {
    const std::optional<TreeItemInfo> unit = CurrentUnit(run.session.pane);
    if (!unit) {
        return "?";
    }
    const std::uint64_t first = (std::uint64_t{unit->baseSector} + unit->relativeSector) * 512;
    std::string landed;
    for (std::uint64_t at : {first, first + unit->sectorCount * std::uint64_t{512} - 16}) {
        landed += PeekBytes(run.DiskOf(item), at, 16) == kSixteen ? "+" : "-";
    }
    return landed;
}

void Check(const Case& c) {
    SCOPED_TRACE(c.item + " [" + c.lines + "] fault " + std::to_string(static_cast<int>(c.fault)) +
                 (c.mode == kLibrary ? ", disk library" : ", device paths"));
    FaultRun run(c.mode);
    run.OpenParents(c.item);
    const std::size_t bar = c.lines.find('|');
    run.Run(c.lines.substr(0, bar), c.item);
    Inject(run.DiskOf(c.item), c.fault, c.sector, c.writes);
    const unsigned opens = run.platform.counters.opens;
    const unsigned writes = run.Writes();
    const unsigned closes = run.platform.counters.closes;
    const std::string said = run.Run(c.lines.substr(bar + 1), c.item);
    const std::string shown =
        run.Shown(c.item, opens, writes, closes) + (c.writes ? " " + Landed(run, c.item) : "");
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(run.platform.counters.badFrees, 0u);
}

const std::string kTable = "Partition table not accessible!";
const std::string kExtendedFailed = "Extended partition not accessible!";
const std::string kBoot = "Boot Record not accessible!";
const std::string kFatFailed = "FAT not accessible!";
const std::string kSectorFailed = "Sector not accessible!";
const std::string kClusterFailed = "Cluster not accessible!";
const std::string kRootFailed = "Root Directory not fully accessible!";
const std::string kCritical = "Critical Sector not accessible!";
const std::string kConfirmed = "confirm: Are you sure to write to disk? -> yes";
const std::string kTablePaths = "Partition Table not accessible!";
const std::string kTableLibrary = "Partition Table inaccessible!";
const std::string kBootLibrary = "Boot Record inaccessible!";
const std::string kDrive = "Drive not accessible!";
const std::string kNotLoaded = "Not able to load the sub-directory";
const std::string kNotFullyLoaded = "Not able to fully load the sub-directory";

// A failed expansion counts as done: the item keeps no children and loses
// its button until the tree is refreshed. A floppy is opened afresh before
// its read, which is not repeated; tables and boot records are read one
// sector each.
TEST(FaultMatrix, PartitionWalk) {
    const Case cases[] = {
        {kHardDisk, kExpand, kNothing, kPaths, kTable, "0x0 vm0 u-- - L2"},
        {kHardDisk, kExpand, kOne, kLibrary, kTable, "0x0 vm0 u-- - L2"},
        {kHardDisk, kExpand, kWhole, kPaths, "-", "0x0 vm0 u-- - k4 + L2"},
        {kExtended, kExpand, kShort, kPaths, kExtendedFailed, "0x0 vm0 u-- - L2"},
        {kExtended, kExpand, kOne, kLibrary, kExtendedFailed, "0x0 vm0 u-- - L2", 100000},
        {kFat16, kExpand, kNothing, kLibrary, kBoot, "0x0 vm0 u-- - L2"},
        {kFat16, kExpand, kOne, kLibrary, kBoot, "0x0 vm0 u-- - L2", 2048},
        {kFat16, kExpand, kWhole, kLibrary, "-", "0x0 vm0 u-- - k3 + L2"},
        {kFloppy, kExpand, kNothing, kPaths, kBoot, "0x0 vm0 u-- - o1 L2"},
        {kFloppy, kExpand, kOpenFails, kLibrary, kBoot, "0x0 vm0 u-- - L2"},
        // A floppy that cannot be opened is refused, so tried again; the
        // library opens nothing.
        {kFloppy, "|expand %\nexpand %", kRefused, kPaths, kDrive + " / " + kDrive,
         "0x0 vm0 u-- - o2 + L2"},
        {kFloppy, kExpand, kRefused, kLibrary, "-", "0x0 vm0 u-- - k3 + L2"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// A hard disk's handle is never renewed; a floppy's is renewed only when
// nothing came.
TEST(FaultMatrix, TablePresenters) {
    const Case cases[] = {
        {kHardDisk, kSelect, kNothing, kPaths, kTablePaths, "0x3 vm0 u-- b512 - + L3"},
        {kHardDisk, kSelect, kShort, kLibrary, kTableLibrary, "0x3 vm0 u-- b512 - + L3"},
        {kHardDisk, kSelect, kWhole, kLibrary, "-", "40x3 Boot Indicator vm0 u-- b512 - + L3"},
        {kExtended, kSelect, kOne, kPaths, kTablePaths, "0x3 vm0 u-- b512 - + L3", 100000},
        {kFat16, kSelect, kOne, kPaths, kBoot, "0x2 vm0 u-- b512 - + L3", 2048},
        {kFat16, kSelect, kOne, kLibrary, kBootLibrary, "0x2 vm0 u-- b512 - + L3", 2048},
        {kFat16, kSelect, kNothing, kLibrary, kBootLibrary, "0x2 vm0 u-- b512 - + L3"},
        {kFloppy, kSelect, kShort, kPaths, kBoot, "0x2 vm0 u-- b512 - o1 + L3"},
        {kFloppy, kSelect, kShort, kLibrary, kBootLibrary, "0x2 vm0 u-- b512 - + L3"},
        {kFloppy, kSelect, kWhole, kPaths, "-", "13x2 BROVANE  vm0 u-- b512 - o1 + L3"},
        // A floppy that cannot be opened shows no boot record, without a
        // word, and is opened afresh for the next.
        {kFloppy, "|select %\nheal\nselect -\nselect %", kRefused, kPaths, "- / - / - / -",
         "13x2 BROVANE  vm0 u-- b512 - o2 + L3"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// Read again sector by sector a FAT is whole; otherwise filled sectors are
// listed, and the twelve-bit grid shows only its headings.
TEST(FaultMatrix, FatGrids) {
    const std::string fat32 = kFat32 + "/FAT 1";
    const std::string fat12 = kFat12 + "/FAT 1";
    const Case cases[] = {
        {kFat16Fat, kSelect, kWhole, kPaths, kFatFailed, "320x17 FFF8 vm3 u-- b10240 s1 L3"},
        {fat32, kSelect, kWhole, kPaths, kFatFailed, "4312x17 0FFFFFF8 vm9 u-- b275968 s32 L3"},
        {kFat16Fat, kSelect, kNothing, kLibrary, kFatFailed, "320x17 E5E5 vm3 u-- b10240 s1 L3"},
        {kFat16Fat, kSelect, kShort, kPaths, kFatFailed, "320x17 E5E5 vm3 u-- b10240 s1 L3"},
        {fat32, kSelect, kShort, kLibrary, kFatFailed, "4312x17 05E5E5E5 vm9 u-- b275968 s32 L3"},
        {fat12, kSelect, kNothing, kPaths, kFatFailed, "0x17 vm4 u-- b512 - L3"},
        {kFloppyFat, kSelect, kWhole, kPaths, kFatFailed, "0x17 vm4 u-- b4608 - o1 c1 L3"},
        {kFloppyFat, kSelect, kOpenFails, kPaths, kFatFailed, "0x17 vm4 u-- b4608 - o1 c1 L3"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// The FAT copies compared: an entry whose sector a copy cannot read is
// listed as unreadable in that copy and not counted as a difference; read
// again sector by sector the copies are whole and agree. The disk library
// stops behind a failed piece, and the read goes on from there.
TEST(FaultMatrix, FatCopiesCompared) {
    const std::string compare = "select %|command compare-fats";
    const Case cases[] = {
        {kFat16, compare, kOne, kPaths, "-",
         "256x3 0000 vm11 u-- Differing FAT entries: 0, unreadable entries not compared: 256 + L2",
         2070},
        {kFat32, compare, kOne, kLibrary, "-",
         "128x3 unreadable vm11 u-- Differing FAT entries: 0, unreadable entries not compared: "
         "128 + L2",
         24032},
        {kFat16, compare, kWhole, kLibrary, "The 2 FAT copies agree.",
         "0x3 vm11 u-- Differing FAT entries: 0 + L2"},
        {kFloppy, compare, kNothing, kPaths, kBoot, "13x2 BROVANE  vm0 u-- b512 - o1 c1 + L3"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// Read again sector by sector a root directory is whole; filled sectors are
// deleted entries, which the tree leaves out. Each transfer that moved
// nothing opens a floppy again (the run, then each of its fourteen sectors);
// one that cannot be opened fails the run without the retry.
TEST(FaultMatrix, RootDirectories) {
    const Case cases[] = {
        {kFat16Root, kExpand + "\nselect %", kWhole, kLibrary, kRootFailed + " / " + kRootFailed,
         "2x8  vm5 u-- b16384 s41 k2 + L4"},
        {kFat16Root, kExpand + "\nselect %", kShort, kPaths, kRootFailed + " / " + kRootFailed,
         "512x8  vm5 u-- b16384 s41 L4"},
        {kFloppyRoot, kExpand + "\nselect %", kNothing, kPaths, kRootFailed + " / " + kRootFailed,
         "224x8  vm5 u-- b7168 s19 o30 c30 L4"},
        {kFloppyRoot, kExpand + "\nselect %", kOpenFails, kPaths, kRootFailed + " / " + kRootFailed,
         "0x8 vm5 u-- b7168 s19 o2 c1 L4"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// FAT copy 1, then copy 2 without a word, then the clusters: twenty-sector
// FAT copies are runs, one-sector FATs read while four-sector clusters do
// not. A message ends the tree's listing with the reads' progress text.
TEST(FaultMatrix, SubDirectories) {
    const Case cases[] = {
        {kDocs, kList, kWhole, kPaths, kFatFailed + " W / " + kFatFailed,
         "0x0 vm0 u-- b10240 - L3"},
        {kDocs, kList, kNothing, kLibrary, kFatFailed + " W / " + kFatFailed,
         "0x0 vm0 u-- b10240 - L3"},
        {kFat32Root, kList, kShort, kLibrary, kFatFailed + " W / " + kFatFailed,
         "0x0 vm0 u-- b275968 - L3"},
        {kSub, kList, kNothing, kPaths, kFatFailed + " W / " + kFatFailed, "0x0 vm0 u-- b512 - L3"},
        {kDocs, kList, kOne, kLibrary, "- / -", "1x8  vm10 u-- b4096 c0000000A/s105 k1 + L4", 2049},
        {kSub, kList, kWhole, kPaths, kNotLoaded + " W / " + kNotFullyLoaded,
         "1x8  vm10 u-- b4096 c00000003/s8 L4"},
        {kSub, kList, kOne, kLibrary, kNotLoaded + " W / " + kNotFullyLoaded,
         "1x8  vm10 u-- b4096 c00000003/s8 L4", 22060},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// An item's first sector is read by its own address or as a run of one;
// the position is set as for a sector that was read. A paged sector that
// cannot be read moves only the index, keeping the rows; what was never
// read is never written.
TEST(FaultMatrix, SectorDumps) {
    const Case cases[] = {
        {kHardDisk, kDump, kNothing, kPaths, kBoot, "0x34 vm7 u-- b512 - + L3"},
        {kHardDisk, kDump, kNothing, kLibrary, kSectorFailed, "0x34 vm7 u-- b512 - + L3"},
        {kExtended, kDump, kOne, kPaths, kBoot, "0x34 vm7 u-- b512 - + L3", 100000},
        {kFat16, kDump, kOne, kLibrary, kSectorFailed, "0x34 vm7 u-- b512 - + L3", 2048},
        {kFloppy, kDump, kNothing, kPaths, kBoot, "0x34 vm7 u-- b512 - o1 + L3"},
        {kFloppy, kDump, kOpenFails, kPaths, "-", "0x34 vm7 u-- b512 - o1 + L3"},
        {kFloppy, kDump, kShort, kLibrary, kSectorFailed, "0x34 vm7 u-- b512 - + L3"},
        {kFat16Fat, kDump, kOne, kPaths, kSectorFailed, "0x34 vm7 u-> b512 - L3", 2049},
        {kFat16Fat, kDump, kWhole, kPaths, "-", "32x34 F8 vm7 r-> b512 s1 L3"},
        {kFloppyFat, kDump, kOpenFails, kPaths, kSectorFailed, "0x34 vm7 u-> b512 - o1 c1 L3"},
        {kFat16Fat, kPage, kNothing, kPaths, kSectorFailed + " W",
         "32x34 F8 vm7 u<> i1 b512 s1 L3"},
        {kFloppyFat, kPage, kOpenFails, kPaths, kSectorFailed + " W",
         "32x34 F0 vm7 u<> i1 b512 s1 o1 c1 L3"},
        {kFat16Fat, kPage + "\nheal\ncommand previous", kNothing, kLibrary,
         kSectorFailed + " W / W / -", "32x34 F8 vm7 r-> b512 s1 L3"},
        {kFat16Fat, kPage + "\nheal\nanswer yes\ncommand write", kOne, kPaths,
         kSectorFailed + " W / W / W / " + kConfirmed + "; " + kSectorFailed + " W",
         "32x34 F8 vm7 u<> i1 b512 s1 L3", 2050},
        {kHardDisk, kUnwritten, kNothing, kPaths,
         kBoot + " / - / - / " + kConfirmed + "; " + kCritical, "0x34 vm7 u-- b512 - + L3"},
        {kFloppy, kUnwritten, kOpenFails, kPaths, "- / - / - / " + kConfirmed + "; " + kCritical,
         "0x34 vm7 u-- b512 - o1 + L3"},
        {kFat16Fat, kUnwritten, kShort, kLibrary,
         kSectorFailed + " / - / - / " + kConfirmed + "; " + kSectorFailed,
         "0x34 vm7 u-> b512 - L3"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// A cluster dump stops at its FAT, or shows what the cluster read left: read
// again sector by sector, a cluster is whole but not taken as read. A
// directory's keeps the previous rows until its data is ready.
TEST(FaultMatrix, ClusterDumps) {
    const Case cases[] = {
        {kScatter, kDump, kWhole, kPaths, kFatFailed, "0x34 vm0 u-- b10240 - L3"},
        {kScatter, kDump, kNothing, kLibrary, kFatFailed, "0x34 vm0 u-- b10240 - L3"},
        {kScatter, kDump, kOne, kPaths, "-", "128x34 73 vm6 r-> b2048 c00000005/s85 L4", 2049},
        // FAT 2 serves
        {kSmall, kDump, kNothing, kPaths, kFatFailed, "0x34 vm0 u-- b512 - L3"},
        {kSmall, kDump, kWhole, kPaths, kClusterFailed, "128x34 73 vm6 u-> b2048 c00000005/s16 L4"},
        {kSmall, kUnwritten, kWhole, kLibrary,
         kClusterFailed + " / - / - / " + kConfirmed + "; " + kClusterFailed,
         "128x34 73 vm6 u-> b2048 c00000005/s16 L4"},
        {kDocs, kOver, kNothing, kPaths, kFatFailed, "32x34  vm0 r-- b10240 s0 + L3"},
        {kFat32Root, kOver, kShort, kLibrary, kFatFailed, "32x34  vm0 r-- b275968 s0 + L3"},
        {kDocs, kOver, kOne, kLibrary, kClusterFailed,
         "128x34 E5 vm6 u-> b2048 c0000000A/s105 + L4", 2153},
        {kSub, kOver, kWhole, kPaths, kClusterFailed, "128x34 2E vm6 u-> b2048 c00000003/s8 + L4"},
        {kSmall, kPage, kWhole, kPaths, kClusterFailed,
         "128x34 61 vm6 u<- i1 b2048 c00000006/s20 L4"},
        {kScatter, kPage, kNothing, kLibrary, kClusterFailed,
         "128x34 E5 vm6 u<> i1 b2048 c00000009/s101 L4"},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// Write Changes reports success only when the whole unit arrived; nothing is
// rolled back or read again, so the unit can be written again. The
// sector-by-sector retry writes every sector it can; a floppy is opened
// again for a write that moved nothing, and failing that fails the run.
TEST(FaultMatrix, WriteChanges) {
    const std::string edits = "\nedit 0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0\nedit ";
    const std::string write =
        " A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0|answer yes\ncommand write";
    const std::string cluster = "key Ctrl+F4\nselect %" + edits + "127" + write;
    const std::string sector =
        "key Ctrl+F4\nselect %\ncommand next\ncommand next" + edits + "31" + write;
    const std::string first = "key Ctrl+F4\nselect %" + edits + "31" + write;
    const std::string said = "- / " + kConfirmed + "; ";
    const std::string ok = "Changes written successfully!";  // the progress text stays
    const Case cases[] = {
        {kScatter, cluster, kOne, kPaths, said + kClusterFailed + " W",
         "128x34 A1 vm6 r-> b2048 c00000005/s85 L4 w5 ++", 2134, true},
        {kScatter, cluster, kWhole, kPaths, said + kClusterFailed + " W",
         "128x34 A1 vm6 r-> b2048 c00000005/s85 L4 w5 ++", 0, true},
        {kScatter, cluster, kNothing, kLibrary, said + kClusterFailed + " W",
         "128x34 A1 vm6 r-> b2048 c00000005/s85 L4 w5 --", 0, true},
        {kScatter, cluster, kShort, kPaths, said + kClusterFailed + " W",
         "128x34 A1 vm6 r-> b2048 c00000005/s85 L4 w5 +-", 0, true},
        {kFat16Fat, sector, kShort, kLibrary, said + kSectorFailed + " W",
         "32x34 A1 vm7 r<> i2 b512 s3 L3 w1 +-", 0, true},
        {kFat16Fat, sector, kOne, kPaths, said + kSectorFailed + " W",
         "32x34 A1 vm7 r<> i2 b512 s3 L3 w1 --", 2051, true},
        {kFat16Fat, sector, kWhole, kLibrary, said + ok + " W",
         "32x34 A1 vm7 r<> i2 b512 s3 L3 w1 ++", 0, true},
        {kFloppyFat, first, kOpenFails, kPaths, said + kSectorFailed + " W",
         "32x34 A1 vm7 r-> b512 s1 o1 c1 L3 w1 --", 0, true},
        // A floppy's own first sector: the volume is opened again only when
        // the write moved nothing.
        {kFloppy, first, kOpenFails, kPaths, "- / " + kConfirmed,
         "32x34 A1 vm7 r-- b512 s0 o1 c1 + L3 w1 --", 0, true},
        {kFloppy, first, kNothing, kPaths, said + kCritical,
         "32x34 A1 vm7 r-- b512 s0 o1 c1 + L3 w2 --", 0, true},
        {kFloppy, first, kShort, kPaths, said + kCritical, "32x34 A1 vm7 r-- b512 s0 + L3 w1 +-", 0,
         true},
        {kFloppy, first, kNothing, kLibrary, said + kCritical,
         "32x34 A1 vm7 r-- b512 s0 + L3 w1 --", 0, true},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

// ---- Allocations ----

// Each allocation an action makes, refused in turn (the first, the second,
// ... until the action makes no more): what was said and what is left.
TEST(FaultMatrix, EveryAllocationOfEachActionRefusedInTurn) {
    struct Sweep {
        std::string item;
        std::string lines;
        Mode mode;
        std::string said;  // "said | shown" for each refusal, a line each
    };
    const Sweep sweeps[] = {
        {kHardDisk, kExpand, kPaths,
         "Fatal Error!  Not able to allocate a Buffer! | 0x0 vm0 u-- - L2\n"},
        {kFat16, kExpand, kPaths,
         "Fatal Error!  Not able to allocate a Buffer! | 0x0 vm0 u-- - L2\n"},
        {kFat16Root, kExpand, kLibrary,
         "Fatal Error!  Not able to allocate a Buffer for Root Directory! | 0x0 vm0 u-- - L2\n"},
        {kDocs, kExpand, kPaths,
         "Fatal Error!  Not able to allocate a Buffer For FAT! | 0x0 vm0 u-- - L2\n"
         "Fatal Error!  Not able to allocate a Buffer for FAT Entries! W | 0x0 vm0 u-- - L2\n"
         "Fatal Error! Not able to allocate a Buffer! W | 0x0 vm0 u-- - L2\n"},
        {kFat32Root, kExpand, kLibrary,
         "Fatal Error!  Not able to allocate a Buffer For FAT! | 0x0 vm0 u-- - L2\n"
         "Fatal Error!  Not able to allocate a Buffer for FAT Entries! W | 0x0 vm0 u-- - L2\n"
         "Fatal Error! Not able to allocate a Buffer! W | 0x0 vm0 u-- - L2\n"},
        {kHardDisk, kSelect, kLibrary,
         "Fatal Error!  Not able to allocate a buffer of memory! | 0x0 vm0 u-- - + L2\n"},
        {kFat16Fat, kSelect, kPaths,
         "Fatal Error!  Not able to allocate a buffer of memory! | 0x0 vm0 u-- - L2\n"},
        {kFat16Root, kSelect, kPaths,
         "Fatal Error!  Not able to allocate a buffer of memory! | 0x0 vm0 u-- - + L2\n"
         "Unable to allocate memory | 0x8 vm5 u-- b16384 - + L3\n"},
        {kDocs, kSelect, kLibrary,
         "Fatal Error!  Not able to allocate a buffer! | 0x0 vm0 u-- - + L2\n"
         "Fatal Error!  Not able to allocate a buffer for FAT Entries! | 0x0 vm0 u-- b10240 - + "
         "L3\n"
         "Fatal Error!  Not able to allocate a buffer! | 0x0 vm0 u-- - + L2\n"
         "Unable to allocate memory | 0x8 vm10 u-- b4096 c0000000A/s105 + L3\n"},
        {kHardDisk, kDump + "\nanswer yes\ncommand write", kPaths,
         "Fatal Error!  Not able to allocate a buffer of memory! / - / confirm: Are you sure to "
         "write to disk? -> yes | 0x0 vm0 u-- - + L2\n"
         "Fatal Error! Not able to allocate a buffer! / - / confirm: Are you sure to write to "
         "disk? -> yes | 0x34 vm0 u-- - + L2\n"},
        {kScatter, kDump, kLibrary,
         "Fatal Error!  Not able to allocate a buffer! | 0x0 vm0 u-- - L2\n"
         "Fatal Error!  Not able to allocate a buffer for FAT Entries! | 0x34 vm0 u-- b10240 - L3\n"
         "Fatal Error!  Not able to allocate a Buffer! | 0x34 vm0 u-- - L2\n"},
        {kScatter, kPage, kPaths, ""},
        {kFat16, "select %|command compare-fats", kLibrary,
         "Fatal Error!  Not able to allocate a buffer! | 13x2 BROVANE  vm0 u-- b512 - + L3\n"
         "Fatal Error!  Not able to allocate a Buffer For FAT! | 13x2 BROVANE  vm0 u-- b512 - + "
         "L3\n"},
        {kDocs, kOver, kPaths,
         "Fatal Error!  Not able to allocate a buffer! | 0x0 vm0 r-- s0 + L2\n"
         "Fatal Error!  Not able to allocate a buffer for FAT Entries! | 32x34  vm0 r-- b10240 s0 "
         "+ L3\n"
         "Fatal Error!  Not able to allocate a buffer! | 32x34  vm0 r-- s0 + L2\n"},
    };
    for (const Sweep& s : sweeps) {
        SCOPED_TRACE(s.item + " [" + s.lines + "]");
        std::string said;
        for (unsigned nth = 1;; ++nth) {
            FaultRun run(s.mode);
            run.OpenParents(s.item);
            const std::size_t bar = s.lines.find('|');
            run.Run(s.lines.substr(0, bar), s.item);
            const unsigned allocations = run.platform.counters.allocations;
            const unsigned opens = run.platform.counters.opens;
            const unsigned closes = run.platform.counters.closes;
            run.platform.settings.failingAllocation = allocations + nth;
            std::string text = run.Run(s.lines.substr(bar + 1), s.item);
            if (run.platform.counters.allocations - allocations < nth) {
                break;
            }
            said += text + " | " + run.Shown(s.item, opens, 0, closes) + "\n";
            EXPECT_EQ(run.platform.counters.badFrees, 0u);
        }
        EXPECT_EQ(said, s.said);
    }
}

// A FAT16 root directory of 40 files, F0 to F39: 16 entries a sector.
struct ManyFiles : WalkHarness {
    explicit ManyFiles(bool library) {
        std::string description =
            "disk size=16M\npartition type=0x06 start=2048 size=20000\nfat16\n";
        for (int i = 0; i < 40; ++i) {
            description += "file /F" + std::to_string(i) + ".TXT\n";
        }
        PlaceDescription(description);
        Start(library);
        OpenParents(kFat16Root);
    }
    std::vector<TreeItemHandle> Listed() { return screen.Children(Item(kFat16Root)); }
};

// The second sector reads as deleted entries; the third is listed.
TEST(FaultMatrix, UnreadableRootSectorIsPassedOverAndTheListingGoesOn) {
    for (bool library : {false, true}) {
        ManyFiles run(library);
        const TreeItemInfo& root = run.Record(kFat16Root);
        run.platform.FindDisk(0x80)->faults.read.badSectors = {root.baseSector +
                                                               root.relativeSector + 1ull};
        run.Batch("expand " + kFat16Root + "\n");
        EXPECT_EQ(run.printed, WalkHarness::Messages({kRootFailed}));
        ASSERT_EQ(run.Listed().size(), 24u);
        EXPECT_EQ(run.screen.ItemText(run.Listed()[16]), "F32     .TXT");
        EXPECT_EQ(run.screen.StatusText(kProgressPane), "");
    }
}

TEST(FaultMatrix, FullItemPoolStopsTheListingCleanly) {
    ManyFiles run(false);
    // Fill the first pool block to within three records, and let it not grow.
    while (run.session.items.itemPool.UsedBytes() + 4 * sizeof(TreeItemInfo) < kItemPoolBytes) {
        ASSERT_NE(AppendItemRecord(run.session.items), nullptr);
    }
    const std::size_t blocks = run.platform.LiveBlocks();
    run.platform.settings.failingAllocation = run.platform.counters.allocations + 2;
    run.Batch("expand " + kFat16Root + "\n");
    EXPECT_EQ(run.printed, WalkHarness::Messages({"Packets memory not enough"}));
    ASSERT_GE(run.Listed().size(), 1u);
    EXPECT_LE(run.Listed().size(), 3u);
    EXPECT_EQ(run.screen.ItemText(run.Listed()[0]), "F0      .TXT");
    EXPECT_EQ(run.platform.LiveBlocks(), blocks);
}

// ---- Start-up ----

// Only the disk library reads to find a hard disk (its sector 0); a probe
// that fails in any way ends the list without a word, as does a hard disk
// that cannot be opened. Set-up failures show their message, list nothing
// and leave the disk commands greyed.
TEST(FaultMatrix, StartUp) {
    struct SetUp {
        Mode mode;
        int fault;            // of the second hard disk, or -1
        unsigned allocation;  // refused, or 0
        const char* missing;  // library function, "" for the library itself
        std::string said;     // and the root items, the commands' state, live blocks
    };
    const SetUp cases[] = {
        {kLibrary, static_cast<int>(kNothing), 0, nullptr, "Floppy Disk 1, Hard Disk 1, ready L2"},
        {kLibrary, static_cast<int>(kShort), 0, nullptr, "Floppy Disk 1, Hard Disk 1, ready L2"},
        {kLibrary, static_cast<int>(kWhole), 0, nullptr,
         "Floppy Disk 1, Hard Disk 1, Hard Disk 2, Hard Disk 3, ready L2"},
        {kPaths, static_cast<int>(kNothing), 0, nullptr,
         "Floppy Disk 1, Hard Disk 1, Hard Disk 2, Hard Disk 3, ready L2"},
        {kPaths, static_cast<int>(kRefused), 0, nullptr, "Floppy Disk 1, Hard Disk 1, ready L2"},
        {kLibrary, -1, 0, "", "message: Disk32.DLL not found / not ready L2"},
        {kLibrary, -1, 0, "ReadDisk32",
         "message: ReadDisk32 Function not accessible! / not ready L2"},
        {kLibrary, -1, 0, "WriteDisk32",
         "message: WriteDisk32 Function not accessible! / not ready L2"},
        {kLibrary, -1, 0, "CheckInt13Extension32",
         "message: DllCheckInt13Extension Function not accessible! / not ready L2"},
        {kLibrary, -1, 1, nullptr, "message: Drive Packet memory not enough / not ready L0"},
        {kLibrary, -1, 2, nullptr, "message: Packets memory not enough / not ready L0"},
        {kPaths, -1, 1, nullptr, "message: Drive Packet memory not enough / not ready L0"},
        {kPaths, -1, 2, nullptr, "message: Packets memory not enough / not ready L0"},
    };
    for (const SetUp& c : cases) {
        SessionHarness run;
        run.platform.AddFloppy(2880);
        run.platform.AddHardDisk(1000);
        MemoryDisk& second = *run.platform.FindDisk(run.platform.AddHardDisk(1000));
        run.platform.AddHardDisk(1000);
        run.platform.settings.diskLibrary = c.mode == kLibrary;
        if (c.fault >= 0) {
            Inject(second, static_cast<Fault>(c.fault), 0);
        }
        run.platform.settings.failingAllocation = c.allocation;
        if (c.missing != nullptr) {
            run.platform.settings.libraryMissing = *c.missing == 0;
            run.platform.settings.missingFunctions = {c.missing};
        }
        InitDiskAccess(run.session);
        std::string said;
        for (const std::string& line : run.printed) {
            said += line + " / ";
        }
        for (const std::string& text : run.RootTexts()) {
            said += text + ", ";
        }
        said +=
            BuildCommandState(run.session.disk, run.session.pane, run.screen, {}).diskAccessReady
                ? "ready"
                : "not ready";
        said += " L" + std::to_string(run.platform.LiveBlocks());
        EXPECT_EQ(said, c.said);
    }
}

}  // namespace
}  // namespace brovane

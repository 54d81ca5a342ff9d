// Memory that cannot be had, met by each buffer the tree's expansions and
// the structure presenters make, in the order they make them, in both
// access modes: the message, what the item or pane keeps, and no block
// left behind. Also a root directory with one unreadable sector, which the
// listing passes over, and an item pool that fills up. Directories seen
// through brovane-batch on damaged disks are the corpus's.
#include <gtest/gtest.h>

#include "walk_harness.h"

namespace brovane {
namespace {

// FAT16 with clusters of four sectors and a sub-directory of two clusters;
// FAT32 with a root directory of one cluster.
constexpr char kImage[] = R"(
disk size=64M
partition type=0x06 start=2048 size=20000
fat16 sectors_per_cluster=4
dir /SUB clusters=10,11
file /SUB/A.TXT data="a"
file /F.TXT data="f"
partition type=0x0C start=24000 size=70000
fat32 sectors_per_cluster=1
file /BIG.TXT data="big"
)";

const std::string kFat16 = "Hard Disk 1/#1";
const std::string kRoot = kFat16 + "/Root Directory";
const std::string kSub = kRoot + "/#1";
const std::string kFat32Root = "Hard Disk 1/#2/Root Directory";
const std::string kHeadings =
    "# MS-DOS Name\tLong File Name\tStarting Cluster\tAttributes\tSize\tModified Date\tCreated "
    "Date\tAccessed Date\n";

struct ImageRun : WalkHarness {
    explicit ImageRun(bool library, const std::string& description = kImage) {
        PlaceDescription(description);
        Start(library);
    }
    std::size_t Children(const std::string& path) { return screen.Children(Item(path)).size(); }
};

TEST(ViewAllocationTest, EachRefusedBufferShowsItsMessageAndLeavesNoBlock) {
    struct Case {
        std::string command;  // "expand PATH" or "select PATH"
        unsigned nth;         // the allocation of the command that fails
        const char* message;
        std::string listed;  // what `list` prints after a select
        const char* progress = "";
    };
    const char* buffer = "Fatal Error!  Not able to allocate a Buffer!";
    const char* memory = "Fatal Error!  Not able to allocate a buffer of memory!";
    const char* store = "Unable to allocate memory";
    const Case cases[] = {
        {"expand Hard Disk 1", 1, buffer, ""},
        {"expand " + kFat16, 1, buffer, ""},
        {"expand " + kRoot, 1, "Fatal Error!  Not able to allocate a Buffer for Root Directory!",
         ""},
        {"expand " + kSub, 1, "Fatal Error!  Not able to allocate a Buffer For FAT!", ""},
        {"expand " + kSub, 2, "Fatal Error!  Not able to allocate a Buffer for FAT Entries!", "",
         "Wait...."},
        {"expand " + kSub, 3, "Fatal Error! Not able to allocate a Buffer!", "", "Wait...."},
        {"select Hard Disk 1", 1, memory, "# \n"},
        {"select Hard Disk 1/#2/FAT 1", 1, memory, "# \n"},
        {"select " + kRoot, 2, store, kHeadings},
        {"select " + kSub, 1, "Fatal Error!  Not able to allocate a buffer!", "# \n"},
        {"select " + kSub, 2, "Fatal Error!  Not able to allocate a buffer for FAT Entries!",
         "# \n"},
        {"select " + kSub, 3, "Fatal Error!  Not able to allocate a buffer!", "# \n"},
        {"select " + kSub, 4, store, kHeadings},
    };
    for (bool library : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.command + (library ? ", disk library" : ", device paths"));
            ImageRun run(library);
            const bool expand = c.command.starts_with("expand");
            const std::string path = c.command.substr(7);
            run.OpenParents(path);
            if (!expand) {
                run.OpenParents(kFat32Root);
                run.Batch("select " + kFat32Root + "\n");  // rows that must not stay
            }
            const std::size_t blocks = run.platform.LiveBlocks();
            run.platform.settings.failingAllocation = run.platform.counters.allocations + c.nth;
            run.Batch(c.command + "\n");
            run.platform.settings.failingAllocation = 0;
            EXPECT_EQ(run.printed, WalkHarness::Messages({c.message}));
            if (expand) {
                EXPECT_EQ(run.Children(path), 0u);
                EXPECT_EQ(run.platform.LiveBlocks(), blocks);
                EXPECT_EQ(run.screen.StatusText(kProgressPane), c.progress);
            } else {
                EXPECT_EQ(run.Batch("list\n"), c.listed);
                if (path.find("Root Directory") != std::string::npos) {
                    EXPECT_FALSE(run.session.pane.directoryRows.block);  // no stale store
                }
            }
        }
    }
}

// A FAT16 root directory of 40 files, F0 to F39: 16 entries a sector.
std::string ManyFiles() {
    std::string description = "disk size=16M\npartition type=0x06 start=2048 size=20000\nfat16\n";
    for (int i = 0; i < 40; ++i) {
        description += "file /F" + std::to_string(i) + ".TXT\n";
    }
    return description;
}

// The second sector reads as deleted entries; the third is listed.
TEST(ViewAllocationTest, UnreadableRootSectorIsPassedOverAndTheListingGoesOn) {
    for (bool library : {false, true}) {
        ImageRun run(library, ManyFiles());
        run.OpenParents(kRoot);
        const TreeItemInfo& root = run.Record(kRoot);
        run.platform.FindDisk(0x80)->faults.read.badSectors = {root.baseSector +
                                                               root.relativeSector + 1ull};
        run.Batch("expand " + kRoot + "\n");
        EXPECT_EQ(run.printed, WalkHarness::Messages({"Root Directory not fully accessible!"}));
        ASSERT_EQ(run.Children(kRoot), 24u);
        EXPECT_EQ(run.screen.ItemText(run.screen.Children(run.Item(kRoot))[16]), "F32     .TXT");
        EXPECT_EQ(run.screen.StatusText(kProgressPane), "");
    }
}

TEST(ViewAllocationTest, FullItemPoolStopsTheListingCleanly) {
    ImageRun run(false, ManyFiles());
    run.OpenParents(kRoot);
    // Fill the first pool block to within three records, and let it not grow.
    while (run.session.items.itemPool.UsedBytes() + 4 * sizeof(TreeItemInfo) < kItemPoolBytes) {
        ASSERT_NE(AppendItemRecord(run.session.items), nullptr);
    }
    const std::size_t blocks = run.platform.LiveBlocks();
    run.platform.settings.failingAllocation = run.platform.counters.allocations + 2;
    run.Batch("expand " + kRoot + "\n");
    EXPECT_EQ(run.printed, WalkHarness::Messages({"Packets memory not enough"}));
    ASSERT_GE(run.Children(kRoot), 1u);
    EXPECT_LE(run.Children(kRoot), 3u);
    EXPECT_EQ(run.screen.ItemText(run.screen.Children(run.Item(kRoot))[0]), "F0      .TXT");
    EXPECT_EQ(run.platform.LiveBlocks(), blocks);
}

}  // namespace
}  // namespace brovane

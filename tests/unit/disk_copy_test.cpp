// Disk Copy on the test double, in both access modes: what the image and
// its mapfile hold when sectors fail, when the disk dies half-way, when the
// copy is cancelled and resumed, when the host crashes or its file system
// fails; and the damage report read back from such an image.
#include <gtest/gtest.h>

#include <algorithm>

#include "format/rescue_map.h"
#include "imaging/disk_copy.h"
#include "tree/tree_item_info.h"
#include "walk_harness.h"

namespace brovane {
namespace {

// Three FAT volumes and a logical drive; the FAT32 volume's chains are
// damaged: one loops, one points past the FAT.
constexpr char kDisk[] = R"(
disk size=64M
partition type=0x06 start=2048 size=20000
fat16 sectors_per_cluster=4
file /SCATTER.BIN pattern="scatter " length=6144 clusters=5,9,6
dir /DOCS clusters=10,11
file /DOCS/A.TXT data="a" lfn="A longer name.txt"
deleted /GONE.TXT data="gone"
partition type=0x0C start=24000 size=70000
fat32 sectors_per_cluster=1
dir /SUB
file /SUB/LOOP.BIN pattern="loop " length=2048 clusters=20-23
file /PAST.BIN pattern="past " length=1024 clusters=30,31
damage fat cluster=23 value=21
damage fat cluster=31 value=0x0FFFFF00
partition type=0x05 start=100000 size=4000
logical type=0x01 start=100063 size=3000
fat12 sectors_per_cluster=4 root_entries=16
file /B.TXT data="b"
)";

constexpr std::uint64_t kSectors = (64 << 20) / 512;
const std::string kImage = "/host/disk.img";
const std::string kMap = kImage + ".map";

enum Mode { kPaths, kLibrary };

struct CopyRun : WalkHarness {
    explicit CopyRun(Mode mode) {
        PlaceDescription(kDisk);
        Start(mode == kLibrary);
    }
    MemoryDisk& Disk() { return *platform.FindDisk(0x80); }
    // What the lines said: message boxes first, then what the commands print.
    std::string Said(const std::string& script) {
        printed.clear();
        const std::string commands = Batch(script);
        std::string said;
        for (const std::string& line : printed) {
            said += line + "\n";
        }
        return said + commands;
    }
    std::vector<std::uint8_t> Source() { return PeekBytes(Disk(), 0, kSectors * 512); }
    std::vector<std::uint8_t>& File(const std::string& path) {
        return platform.hostFiles.files[path].bytes;
    }
    RescueMap Map(const std::string& path = kMap) {
        const std::vector<std::uint8_t>& bytes = File(path);
        std::string error;
        std::optional<RescueMap> map =
            ParseRescueMap(std::string(bytes.begin(), bytes.end()), error);
        EXPECT_TRUE(map) << error;
        return map.value_or(RescueMap{});
    }
    // The core's copy of the whole disk, as the command starts it.
    CopyResult CopyCore(const ProgressReport& report, const CancelFlag& cancel, bool resume) {
        const TreeItemInfo& disk = Record("Hard Disk 1");
        CopyJob job{*CopyExtentOf(platform, disk), kImage};
        job.resume = resume;
        job.mapInterval = std::chrono::milliseconds(0);
        EXPECT_TRUE(TakeLibraryGeometry(session.Io(), disk, job.extent));
        return CopyToImage(platform, session.disk, job, report, cancel);
    }
};

// The map's blocks as "pos+size status" in sectors.
std::string Blocks(const RescueMap& map) {
    std::string text;
    for (const RescueBlock& block : map.blocks) {
        text += (text.empty() ? "" : " ") + std::to_string(block.pos / 512) + "+" +
                std::to_string(block.size / 512) + static_cast<char>(block.status);
    }
    return text;
}

// What a user sees of a disk's structure: the whole tree expanded, and the
// listing of every partition, boot record, FAT and directory.
std::string Survey(const std::vector<std::uint8_t>& disk, Mode mode) {
    WalkHarness run;
    const unsigned drive = run.platform.AddHardDisk(disk.size() / 512);
    PokeBytes(*run.platform.FindDisk(drive), 0, disk);
    run.Start(mode == kLibrary);
    std::string seen;
    std::vector<std::pair<TreeItemHandle, std::string>> items{{kTreeRoot, ""}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto [item, path] = items[i];
        if (item != kTreeRoot) {
            run.screen.Expand(item);
            const TreeItemInfo& record = *run.screen.GetTreeItemInfo(item);
            if (record.kind != IK_DIR_ENTRY || IsDirectory(record)) {
                seen += run.Batch("select " + path + "\nlist\n");
            }
        }
        int n = 0;
        for (TreeItemHandle child : run.screen.Children(item)) {
            items.emplace_back(child, (path.empty() ? "" : path + "/") + "#" + std::to_string(++n));
        }
    }
    return seen + run.Batch("tree\n");
}

std::vector<std::uint8_t> WithZeros(std::vector<std::uint8_t> bytes,
                                    const std::vector<std::uint64_t>& sectors) {
    for (std::uint64_t sector : sectors) {
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(sector * 512), 512, 0);
    }
    return bytes;
}

class DiskCopy : public testing::TestWithParam<Mode> {};

// Bad sectors behind the master boot record, in the FAT16 boot record and
// FAT, in a file and at the disk's end: each costs itself alone.
TEST_P(DiskCopy, EachBadSectorIsZerosInTheImageAndBadInTheMap) {
    CopyRun run(GetParam());
    const std::vector<std::uint64_t> bad{1, 2049, 2050, 50000, kSectors - 1};
    const std::vector<std::uint8_t> source = run.Source();
    run.Disk().faults.read.badSectors = {bad.begin(), bad.end()};
    EXPECT_EQ(run.Said("copy-disk Hard Disk 1 " + kImage + "\n"),
              "copied: 131072 sectors, 5 bad, map /host/disk.img.map\n");
    EXPECT_TRUE(run.File(kImage) == WithZeros(source, bad));
    EXPECT_EQ(Blocks(run.Map()),
              "0+1+ 1+1- 2+2047+ 2049+2- 2051+47949+ 50000+1- 50001+81070+ 131071+1-");
    EXPECT_FALSE(run.platform.hostFiles.Exists(kImage + ".part"));
    EXPECT_EQ(run.platform.counters.writes + run.platform.counters.libraryWrites, 0u);
}

// A disk that moves at most 4 KiB a call: no run is taken as read until all
// of it was, so the copy goes sector by sector and misses nothing.
TEST_P(DiskCopy, AShortReadIsNeverTakenForTheWholeRun) {
    CopyRun run(GetParam());
    run.Disk().faults.read.maxBytesPerCall = 4096;
    EXPECT_EQ(
        run.Said("expand Hard Disk 1\ncopy-disk Hard Disk 1/32-Bit FAT Disk " + kImage + "\n"),
        "copied: 70000 sectors, 0 bad, map /host/disk.img.map\n");
    EXPECT_TRUE(run.File(kImage) == PeekBytes(run.Disk(), 24000 * 512, 70000 * 512));
}

// The disk dies after half the reads a whole copy takes: everything the
// tree shows of the disk was read first.
TEST_P(DiskCopy, ADiskThatDiesHalfWayLeavesItsWholeStructure) {
    CopyRun whole(GetParam());
    const std::string expected = Survey(whole.Source(), GetParam());
    whole.Batch("copy-disk Hard Disk 1 " + kImage + "\n");
    const unsigned reads = whole.Disk().readsSeen;
    CopyRun dying(GetParam());
    dying.Disk().faults.readsBeforeDeath = reads / 2;
    dying.Batch("copy-disk Hard Disk 1 " + kImage + "\n");
    EXPECT_EQ(Survey(dying.File(kImage), GetParam()), expected);
    EXPECT_GT(reads, 20u);
}

// Cancelled after a few runs, then resumed: no finished sector is read
// again, and the image is the disk.
TEST_P(DiskCopy, ACancelledCopyResumesReadingOnlyWhatIsLeft) {
    CopyRun run(GetParam());
    CancelFlag cancel{false};
    int reports = 0;
    const CopyResult first =
        run.CopyCore([&](const WorkProgress&) { cancel = ++reports == 30; }, cancel, false);
    EXPECT_EQ(first.outcome, CopyOutcome::kCancelled);
    EXPECT_TRUE(run.platform.hostFiles.Exists(kImage + ".part"));
    const RescueMap map = run.Map();
    const std::size_t readsBefore = run.platform.transfers.size();
    run.Batch("answer yes\ncopy-disk Hard Disk 1 " + kImage + "\n");
    for (std::size_t i = readsBefore; i < run.platform.transfers.size(); ++i) {
        EXPECT_NE(StatusAt(map.blocks, run.platform.transfers[i].offset), BlockStatus::kFinished);
    }
    EXPECT_TRUE(run.File(kImage) == run.Source());
    EXPECT_EQ(Blocks(run.Map()), "0+131072+");
}

// The host crashes in front of each of its file operations in turn, over
// a few map saves: the mapfile a crash leaves never claims a byte the image
// does not hold.
TEST_P(DiskCopy, ACrashNeverLeavesAMapThatClaimsMoreThanTheImage) {
    const std::vector<std::uint8_t> source = CopyRun(GetParam()).Source();
    for (unsigned crashAt = 40; crashAt < 52; ++crashAt) {
        CopyRun run(GetParam());
        run.platform.hostFiles.crashAtOperation = crashAt;
        const CancelFlag cancel{false};
        run.CopyCore([](const WorkProgress&) {}, cancel, false);
        if (!run.platform.hostFiles.Exists(kMap)) {
            continue;
        }
        const std::vector<std::uint8_t>& image = run.File(kImage + ".part");
        for (const RescueBlock& block : run.Map().blocks) {
            for (std::uint64_t at = block.pos;
                 block.status == BlockStatus::kFinished && at < block.End(); at += 512) {
                ASSERT_TRUE(
                    at + 512 <= image.size() &&
                    std::equal(source.begin() + at, source.begin() + at + 512, image.begin() + at))
                    << "crash at operation " << crashAt << ", sector " << at / 512;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, DiskCopy, testing::Values(kPaths, kLibrary));

// What the host's file system refuses, and mapfiles that cannot be used.
TEST(DiskCopyFailures, AreSaidAndNothingIsClaimed) {
    struct Case {
        std::string mapText;  // a mapfile already there ("" none)
        std::function<void(CopyRun&)> fault;
        std::string said;
    };
    const std::string copy = "copy-disk Hard Disk 1 " + kImage + "\n";
    const Case cases[] = {
        {"", [](CopyRun& run) { run.platform.hostFiles.capacity = 3 << 20; },
         "message: The image could not be written: the copy stopped. /host/disk.img.map says "
         "what the image holds.\n"},
        {"", [](CopyRun& run) { run.platform.hostFiles.failFlushes = true; },
         "message: The image could not be written: the copy stopped. /host/disk.img.map says "
         "what the image holds.\n"},
        {"0 ? 1\n0 0x1000 +\n0x800 0x1000 +\n", nullptr,
         "confirm: /host/disk.img.map holds a copy to /host/disk.img. Resume it, reading only "
         "what is not finished? -> yes\nmessage: /host/disk.img.map cannot be used (line 3: "
         "a block that overlaps the one before it): nothing was copied.\n"},
        {"0 ? 1\n0 0x10000000 +\n", nullptr,
         "confirm: /host/disk.img.map holds a copy to /host/disk.img. Resume it, reading only "
         "what is not finished? -> yes\nmessage: /host/disk.img.map describes more than this "
         "item holds: nothing was copied.\n"},
    };
    for (const Case& c : cases) {
        CopyRun run(kPaths);
        if (!c.mapText.empty()) {
            run.File(kMap).assign(c.mapText.begin(), c.mapText.end());
        }
        if (c.fault) {
            c.fault(run);
        }
        const unsigned readsBefore = run.platform.counters.reads;
        EXPECT_EQ(run.Said("answer yes\n" + copy), c.said);
        if (!c.mapText.empty()) {
            EXPECT_EQ(run.platform.counters.reads, readsBefore);
            EXPECT_EQ(run.File(kMap),
                      std::vector<std::uint8_t>(c.mapText.begin(), c.mapText.end()));
        } else if (run.platform.hostFiles.Exists(kMap)) {
            const std::vector<std::uint8_t> source = run.Source();
            const std::vector<std::uint8_t>& image = run.File(kImage + ".part");
            for (const RescueBlock& block : run.Map().blocks) {
                EXPECT_TRUE(block.status != BlockStatus::kFinished ||
                            (block.End() <= image.size() &&
                             std::equal(image.begin() + block.pos, image.begin() + block.End(),
                                        source.begin() + block.pos)));
            }
        }
    }
}

// An image without a mapfile is replaced only when the user says so.
TEST(DiskCopyFailures, AnImageWithoutAMapIsNotReplacedUnasked) {
    CopyRun run(kPaths);
    run.File(kImage) = {1, 2, 3};
    EXPECT_EQ(run.Said("copy-disk Hard Disk 1 " + kImage + "\n"),
              "confirm: /host/disk.img exists and has no mapfile. Replace it? -> no\n");
    EXPECT_EQ(run.File(kImage), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(run.platform.hostFiles.Exists(kMap));
}

// Bad sectors in SCATTER.BIN's cluster 9, in the second cluster of DOCS
// (which holds A.TXT's entry), in FAT 1 of the FAT16 volume, and in the
// FAT32 volume's LOOP.BIN: the report names exactly what lies there.
TEST(DamageReport, NamesWhatLiesOnTheBadSectors) {
    CopyRun run(kPaths);
    // FAT16: 1 reserved, FATs of 20 sectors, 32 root sectors: data at 73.
    const std::uint64_t fat16 = 2048;
    const std::uint64_t cluster9 = fat16 + 73 + (9 - 2) * 4;
    const std::uint64_t cluster11 = fat16 + 73 + (11 - 2) * 4;
    run.Disk().faults.read.badSectors = {fat16 + 1, cluster9 + 1, cluster11};
    run.Said("copy-disk Hard Disk 1 " + kImage + "\n");
    WalkHarness image;
    const unsigned drive = image.platform.AddHardDisk(kSectors);
    PokeBytes(*image.platform.FindDisk(drive), 0, run.File(kImage));
    image.platform.hostFiles.files[kMap] = run.platform.hostFiles.files[kMap];
    image.Start();
    image.Batch("expand Hard Disk 1\n");
    EXPECT_EQ(image.Batch("damage Hard Disk 1/16-Bit FAT Disk " + kMap + "\n"),
              "damaged: Hard Disk 1/16-Bit FAT Disk/Root Directory/SCATTER .BIN 512 of 6144\n"
              "damaged: Hard Disk 1/16-Bit FAT Disk/Root Directory/DOCS    .    512 of 4096\n"
              "fat: 2049 bad in FAT 1\n"
              "damage: 2 items\n");
    // A mapfile that is missing or damaged is said, and the report stays.
    image.printed.clear();
    image.Batch("damage Hard Disk 1/16-Bit FAT Disk /host/none.map\n");
    image.platform.hostFiles.files[kMap].bytes.push_back('x');
    image.Batch("damage Hard Disk 1/16-Bit FAT Disk " + kMap + "\n");
    EXPECT_EQ(image.printed, (std::vector<std::string>{
                                 "message: /host/none.map cannot be found.",
                                 "message: /host/disk.img.map cannot be used (line 12: not a "
                                 "block line (position, size, status)).",
                             }));
    EXPECT_EQ(image.Batch("list 0 1\n"),
              "# Name\tSize\tBytes Affected\tFirst Bad Sector\n"
              "Root Directory/SCATTER .BIN\t6144\t512\t" +
                  std::to_string(cluster9 + 1) + "\n");
}

}  // namespace
}  // namespace brovane

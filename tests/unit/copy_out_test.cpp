// Copy Out on the test double, in both access modes: a volume's files and
// folders with their names and times, a fragmented file in chain order, a
// deleted file's guessed clusters and recovered long name, a loop in a
// chain and a directory that holds itself, an unreadable sector, names the
// host cannot take, and the destinations that are refused or fill up.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "imaging/copy_out.h"
#include "imaging/copy_out_plan.h"
#include "walk_harness.h"

namespace brovane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A FAT16 volume at 2048, four sectors a cluster, data from relative sector
// 73 (cluster 2). GONE.TXT is deleted: its clusters are free, 20 and 21 (the
// chain of KEEP.BIN took the lowest free ones before it was deleted... the
// clusters are given). LOOP.BIN's chain comes back to its first cluster.
constexpr char kCopyDisk[] = R"(
disk size=16M
partition type=0x06 start=2048 size=20000
fat16 sectors_per_cluster=4
file /SCATTER.BIN pattern="scatter " length=6144 clusters=5,9,6 date=2023-06-01 time=12:34:56
dir /DOCS clusters=10 date=2022-02-02 time=08:00:00
file /DOCS/A.TXT data="a" lfn="A longer name.txt"
file /DOCS/B.TXT data="slash" lfn="x/y"
dir /DOCS/SELF clusters=11
file /DOCS/SELF/AGAIN attr=0x10 first_cluster=11 size=0
file /LOOP.BIN pattern="loop" length=8192 clusters=12-15
damage fat cluster=13 value=12
file /readme.txt data="lower"
deleted /GONE.TXT pattern="gone " length=2500 clusters=20,22 lfn="Gone but back.txt"
file /HOLE.BIN data="x" clusters=21
dir /OLD deleted clusters=30 lfn="Old folder"
deleted /OLD/IN.TXT data="inside" clusters=31 lfn="Inside.txt"
)";

constexpr std::uint32_t kVolume = 2048;
constexpr std::uint32_t kDataSector = 73;

struct CopyOutRun : ::testing::TestWithParam<bool>, WalkHarness {
    void SetUp() override {
        PlaceDescription(kCopyDisk);
        Start(GetParam());
        platform.hostFiles.folders["/out"] = 0;
        Batch("expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#1/Root Directory\n");
        printed.clear();
    }
    Bytes File(const std::string& path) { return platform.hostFiles.files[path].bytes; }
    static Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
    static Bytes Pattern(const std::string& text, std::size_t length) {
        Bytes bytes;
        while (bytes.size() < length) {
            bytes.insert(bytes.end(), text.begin(), text.end());
        }
        bytes.resize(length);
        return bytes;
    }
    std::uint64_t ClusterSector(std::uint32_t cluster) {
        return kVolume + kDataSector + (cluster - 2) * 4;
    }
};

TEST_P(CopyOutRun, AVolumeGivesItsTreeWithNamesTimesAndChainOrder) {
    EXPECT_EQ(Batch("copy-out Hard Disk 1/#1 /out\n"),
              "copied: SCATTER.BIN 6144\n"
              "incomplete: LOOP.BIN 4096 of 8192\n"
              "copied: README.TXT 5\n"
              "copied: HOLE.BIN 1\n"
              "copied: DOCS/A longer name.txt 1\n"
              "copied: DOCS/x_y 5\n"
              "skipped: DOCS/SELF/AGAIN, a directory met before\n"
              "copy-out: 6 files, 2 directories, 10252 bytes\n");
    EXPECT_TRUE(File("/out/SCATTER.BIN") == Pattern("scatter ", 6144));
    EXPECT_TRUE(File("/out/LOOP.BIN") == Pattern("loop", 4096));
    EXPECT_TRUE(File("/out/DOCS/A longer name.txt") == Text("a"));
    EXPECT_EQ(platform.HostFileTime("/out/SCATTER.BIN"), DosTimeToSeconds(0x56C1, 0x645C));
    EXPECT_EQ(platform.HostFileTime("/out/DOCS"), DosTimeToSeconds(0x5442, 0x4000));
    EXPECT_TRUE(platform.HostFolderExists("/out/DOCS/SELF"));
    const std::map<std::string, MemoryHostFile> copied = platform.hostFiles.files;
    for (const auto& [path, file] : copied) {
        EXPECT_EQ(path.find(".part"), std::string::npos) << path;
    }
    // A crash anywhere leaves no file under its own name that is not whole.
    for (unsigned crashAt = 1; crashAt < 40; ++crashAt) {
        platform.hostFiles = MemoryHostFiles{};
        platform.hostFiles.folders["/out"] = 0;
        platform.hostFiles.crashAtOperation = crashAt;
        Batch("copy-out Hard Disk 1/#1 /out\n");
        platform.hostFiles.Crash();
        for (const auto& [path, file] : platform.hostFiles.files) {
            EXPECT_TRUE(path.find("/.~") != std::string::npos ||
                        file.bytes == copied.at(path).bytes)
                << "crash at " << crashAt << ": " << path;
        }
    }
}

TEST_P(CopyOutRun, ADeletedRowComesBackGuessedAndAnEntryAlone) {
    Batch("select Hard Disk 1/#1/Root Directory\n");
    const std::string rows = Batch("list\n");
    const std::size_t at = rows.find("\\xE5ONE");
    ASSERT_NE(at, std::string::npos) << rows;
    const auto gone =
        std::count(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(at), '\n') - 1;
    // Clusters 20 and 22 held it; 21 is HOLE.BIN's now, so the guess takes
    // 20 and 22, the free ones from its first on.
    EXPECT_EQ(Batch("copy-out-row " + std::to_string(gone) + " /out\n"),
              "guessed: Gone but back.txt 2500\ncopy-out: 1 files, 0 directories, 2500 bytes\n");
    EXPECT_TRUE(File("/out/Gone but back.txt") == Pattern("gone ", 2500));
    // A deleted directory: its entries read from its guessed cluster.
    const auto old =
        std::count(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(rows.find("\\xE5LD")),
                   '\n') -
        1;
    EXPECT_EQ(Batch("copy-out-row " + std::to_string(old) + " /out\n"),
              "guessed: Old folder/Inside.txt 6\ncopy-out: 1 files, 1 directories, 6 bytes\n");
    EXPECT_TRUE(File("/out/Old folder/Inside.txt") == Text("inside"));
    EXPECT_EQ(Batch("copy-out Hard Disk 1/#1/Root Directory/#2 /out\n"),
              "copied: DOCS/A longer name.txt 1\ncopied: DOCS/x_y 5\n"
              "skipped: DOCS/SELF/AGAIN, a directory met before\n"
              "copy-out: 2 files, 2 directories, 6 bytes\n");
}

TEST_P(CopyOutRun, UnreadableSectorsAreZerosAndFullOrForbiddenHostsStop) {
    platform.FindDisk(0x80)->faults.read.badSectors = {ClusterSector(9) + 1};
    EXPECT_EQ(
        Batch("copy-out Hard Disk 1/#1/Root Directory/#1 /out\n"),
        "incomplete: SCATTER.BIN 6144 of 6144\ncopy-out: 1 files, 0 directories, 6144 bytes\n");
    Bytes expected = Pattern("scatter ", 6144);
    std::fill_n(expected.begin() + 2048 + 512, 512, std::uint8_t{0});
    EXPECT_TRUE(File("/out/SCATTER.BIN") == expected);
    // Replacing needs a yes.
    Batch("answer no\ncopy-out Hard Disk 1/#1/Root Directory/#1 /out\n");
    EXPECT_EQ(printed.back(), "confirm: 1 of the files exist in /out already. Replace them? -> no");
    // A host that fills up keeps what was written and no partial file.
    platform.hostFiles.files.clear();
    platform.hostFiles.capacity = 5000;
    printed.clear();
    EXPECT_EQ(Batch("copy-out Hard Disk 1/#1 /out\n"),
              "copy-out: 0 files, 0 directories, 0 bytes\n");
    EXPECT_EQ(printed, Messages({"/out/SCATTER.BIN could not be written: the copy stopped after 0 "
                                 "files, 0 directories, 0 bytes."}));
    EXPECT_TRUE(platform.hostFiles.files.empty());
    platform.hostFiles.drivePrefixes[0x80] = "/out";
    printed.clear();
    Batch("copy-out Hard Disk 1/#1 /out\n");
    EXPECT_EQ(printed, Messages({"/out lies on the disk being examined, which is never written: "
                                 "nothing was copied."}));
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, CopyOutRun, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Library" : "DevicePaths"; });

}  // namespace
}  // namespace brovane

// Images written by brovane-mkimage, checked by independent readers:
// fsck.fat -n on every volume (cut out of the image with dd), mdir for the
// labels and long names, mtype for every file's contents.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "imagebuilder/demo_images.h"
#include "imagebuilder/description_parser.h"

namespace brovane::imagebuilder {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string output;
};

RunResult RunCommand(const std::string& command) {
    RunResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    for (std::size_t n = 0; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        result.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// fsck.fat lives in /sbin on Debian, which is not on every user's PATH.
std::string FindTool(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
        const std::string path = dir + name;
        if (access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return {};
}

class ImageAcceptance : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"fsck.fat", "mdir", "mtype", "dd"}) {
            ASSERT_FALSE(FindTool(tool).empty())
                << tool << " is missing: install dosfstools, mtools and coreutils";
        }
        setenv("MTOOLS_SKIP_CHECK", "1", 1);
        char pattern[] = "/tmp/brovane-images-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (!dir_.empty()) {
            fs::remove_all(dir_);
        }
    }

    std::string Path(const std::string& name) const { return (fs::path(dir_) / name).string(); }

    // Runs brovane-mkimage; the image's description comes back parsed.
    Disk Make(const std::string& arguments, std::string_view description) {
        const RunResult made = RunCommand(std::string(BROVANE_MKIMAGE) + " " + arguments);
        EXPECT_EQ(made.status, 0) << made.output;
        Disk disk;
        std::string error;
        EXPECT_TRUE(ParseDescription(description, disk, error)) << error;
        return disk;
    }

    Disk MakeFromText(const std::string& image, const std::string& description) {
        std::ofstream(Path("description.txt")) << description;
        return Make(Quote(Path("description.txt")) + " " + Quote(image), description);
    }

    void CheckFsck(const std::string& image, const FatVolume& volume) {
        const std::string part = Path("volume.img");
        const RunResult cut =
            RunCommand(FindTool("dd") + " if=" + Quote(image) + " of=" + Quote(part) +
                       " bs=512 skip=" + std::to_string(volume.firstSector) +
                       " count=" + std::to_string(volume.totalSectors) + " status=none");
        ASSERT_EQ(cut.status, 0) << cut.output;
        const RunResult fsck = RunCommand(FindTool("fsck.fat") + " -n " + Quote(part));
        EXPECT_EQ(fsck.status, 0) << fsck.output;
        // A clean check prints its version and the summary line, nothing else.
        std::istringstream lines(fsck.output);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_TRUE(line.starts_with("fsck.fat ") || line.find(" files, ") != std::string::npos)
                << "volume at sector " << volume.firstSector << ": " << line;
        }
    }

    std::string Drive(const std::string& image, const FatVolume& volume) const {
        return Quote(image + "@@" + std::to_string(volume.firstSector * 512));
    }

    std::string Listing(const std::string& image, const FatVolume& volume, const std::string& dir) {
        const RunResult listed =
            RunCommand(FindTool("mdir") + " -i " + Drive(image, volume) + " " + Quote("::" + dir));
        EXPECT_EQ(listed.status, 0) << listed.output;
        return listed.output;
    }

    static std::string ParentOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        return slash == 0 ? "/" : path.substr(0, slash);
    }

    static std::string LeafOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

    // mdir shows names as "NAME     EXT"; the short name's base suffices to find a row.
    static std::string BaseOf(const std::string& path) {
        const std::string leaf = LeafOf(path);
        return leaf.substr(0, leaf.find('.')) + " ";
    }

    void CheckEntry(const std::string& image, const FatVolume& volume,
                    const EntryDescription& item) {
        if (item.kind == EntryKind::VolumeLabel) {
            EXPECT_NE(Listing(image, volume, "/").find("Volume in drive : is " + item.label),
                      std::string::npos);
            return;
        }
        const std::string listing = Listing(image, volume, ParentOf(item.path));
        if (item.deleted) {
            EXPECT_EQ(listing.find("\n" + BaseOf(item.path)), std::string::npos) << item.path;
            return;
        }
        EXPECT_NE(listing.find("\n" + BaseOf(item.path)), std::string::npos)
            << item.path << listing;
        if (!item.longName.empty()) {
            EXPECT_NE(listing.find(item.longName), std::string::npos) << item.path << listing;
        }
        if (item.kind == EntryKind::File) {
            const RunResult typed = RunCommand(FindTool("mtype") + " -i " + Drive(image, volume) +
                                               " " + Quote("::" + item.path));
            EXPECT_EQ(typed.output, item.data) << item.path;
        }
    }

    void CheckDisk(const std::string& image, const Disk& disk) {
        ASSERT_FALSE(disk.volumes.empty());
        for (const FatVolume& volume : disk.volumes) {
            CheckFsck(image, volume);
            for (const EntryDescription& item : volume.entries) {
                CheckEntry(image, volume, item);
            }
        }
    }

    std::string dir_;
};

TEST_F(ImageAcceptance, DemoDiskPassesFsckAndReadsBackOnEveryVolume) {
    const std::string image = Path("demo-disk.img");
    const Disk disk = Make("--demo-disk " + Quote(image), DemoDiskDescription());
    ASSERT_EQ(disk.volumes.size(), 4u);
    CheckDisk(image, disk);
    struct stat info {};
    ASSERT_EQ(stat(image.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 64 << 20);
    EXPECT_LT(info.st_blocks * 512, 4 << 20) << "the image should be sparse";
}

TEST_F(ImageAcceptance, DemoFloppyPassesFsckAndReadsBack) {
    const std::string image = Path("demo-floppy.img");
    const Disk disk = Make("--demo-floppy " + Quote(image), DemoFloppyDescription());
    CheckDisk(image, disk);
    const RunResult listed = RunCommand(FindTool("mdir") + " -i " + Quote(image) + " ::/");
    EXPECT_NE(listed.output.find("Letter to the bank.txt"), std::string::npos) << listed.output;
}

TEST_F(ImageAcceptance, Fat12VariantWithFragmentedFileAndSubDirectory) {
    const std::string image = Path("fat12.img");
    CheckDisk(image, MakeFromText(image, R"(disk size=8M
partition type=0x01 start=63 size=6000
fat12 sectors_per_cluster=2
label "TWELVE"
dir /SUB lfn="Sub directory with a long name"
file /SUB/FRAG.TXT lfn="fragmented across the disk.txt" pattern="fragment " length=2600 clusters=40,12,30
file /PLAIN.TXT data="plain\n"
deleted /GONE.TXT data="gone"
)"));
}

TEST_F(ImageAcceptance, Fat16VariantInALogicalDrive) {
    const std::string image = Path("fat16.img");
    CheckDisk(image, MakeFromText(image, R"(disk size=32M
partition type=0x05 start=2048 size=40000
logical type=0x06 start=4096 size=20000
fat16 sectors_per_cluster=2 root_entries=128
dir /A lfn="First level"
dir /A/B lfn="Second level"
file /A/B/DEEP.BIN lfn="Deep file with unicode \xc3\xa9t\xc3\xa9.bin" pattern="0123456789" length=4000 clusters=100,50,75,60
logical type=0x06 start=26000 size=16000
fat16 sectors_per_cluster=1
file /SECOND.TXT lfn="On the second logical.txt" data="second\n"
)"));
}

TEST_F(ImageAcceptance, Fat32VariantWithMultiClusterRootAndNestedDirectories) {
    std::string description = R"(disk size=40M
partition type=0x0B start=2048 size=70000
fat32 root_clusters=2,9,4,12
label "THIRTYTWO"
dir /TOP lfn="Top directory"
dir /TOP/INNER
file /TOP/INNER/DATA.BIN pattern="xyz" length=3000 clusters=300,200,250,201,202,203
)";
    for (int i = 0; i < 20; ++i) {  // enough entries to need the second root cluster
        description += "file /F" + std::to_string(i) + ".TXT lfn=\"File number " +
                       std::to_string(i) + ".txt\" data=\"" + std::to_string(i) + "\"\n";
    }
    const std::string image = Path("fat32.img");
    CheckDisk(image, MakeFromText(image, description));
}

TEST_F(ImageAcceptance, DamagedVariantIsReportedByFsck) {
    const std::string image = Path("damaged.img");
    MakeFromText(image, R"(disk sectors=2880
fat12 start=0 size=2880 sectors_per_cluster=1 root_entries=224 media=0xF0
file /LOOP.TXT pattern="loop" length=1500 clusters=5,6,7
damage fat cluster=7 value=5
)");
    const RunResult fsck = RunCommand(FindTool("fsck.fat") + " -n " + Quote(image));
    EXPECT_NE(fsck.status, 0) << fsck.output;
}

TEST_F(ImageAcceptance, MkimageReportsTheFailingLineAndItsUsage) {
    std::ofstream(Path("bad.txt"))
        << "disk size=1M\nfat16 start=0 size=2000\nfile /A.TXT colour=red\n";
    const RunResult bad = RunCommand(std::string(BROVANE_MKIMAGE) + " " + Quote(Path("bad.txt")) +
                                     " " + Quote(Path("bad.img")));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("line 3: unknown option colour for file"), std::string::npos)
        << bad.output;
    EXPECT_EQ(RunCommand(std::string(BROVANE_MKIMAGE) + " --demo-disk").status, 2);
    const RunResult printed = RunCommand(std::string(BROVANE_MKIMAGE) + " --print-demo-floppy");
    EXPECT_EQ(printed.output, DemoFloppyDescription());
}

}  // namespace
}  // namespace brovane::imagebuilder

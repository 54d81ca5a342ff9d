// Images written by brovane-mkimage, checked by independent readers: fsck.fat
// -n on every volume (cut out of the image with dd), mdir for the labels and
// long names, mtype for every file's contents. The corpus' images come from
// the same builder, so only these readers see a builder fault.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "imagebuilder/demo_images.h"
#include "imagebuilder/description_parser.h"

namespace brovane::imagebuilder {
namespace {

// The command's status and what it printed, stderr included.
std::pair<int, std::string> Run(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::array<char, 4096> buffer{};
    for (std::size_t n = 0; pipe && (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        output.append(buffer.data(), n);
    }
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// fsck.fat lives in /sbin on Debian, which is not on every user's PATH.
std::string Tool(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
        if (access((dir + name).c_str(), X_OK) == 0) {
            return dir + name;
        }
    }
    ADD_FAILURE() << name << " is missing: install dosfstools, mtools and coreutils";
    return name;
}

// Writes the image (a demo by its option, else from the description) and
// checks every volume and entry of it.
void CheckImage(const std::string& demoOption, const std::string& description) {
    char pattern[] = "/tmp/brovane-images-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    const std::string image = (dir / "image.img").string(), text = (dir / "disk.txt").string();
    std::ofstream(text) << description;
    const auto made = Run(std::string(BROVANE_MKIMAGE) + " " +
                          (demoOption.empty() ? Quote(text) : demoOption) + " " + Quote(image));
    ASSERT_EQ(made.first, 0) << made.second;
    Disk disk;
    std::string error;
    ASSERT_TRUE(ParseDescription(description, disk, error)) << error;
    setenv("MTOOLS_SKIP_CHECK", "1", 1);
    for (const FatVolume& volume : disk.volumes) {
        const std::string part = (dir / "volume.img").string();
        Run(Tool("dd") + " if=" + Quote(image) + " of=" + Quote(part) + " bs=512 skip=" +
            std::to_string(volume.firstSector) + " count=" + std::to_string(volume.totalSectors));
        const auto fsck = Run(Tool("fsck.fat") + " -n " + Quote(part));
        EXPECT_EQ(fsck.first, 0) << fsck.second;
        // A clean check prints its version and the summary line, nothing else.
        EXPECT_EQ(std::count(fsck.second.begin(), fsck.second.end(), '\n'), 2) << fsck.second;
        const std::string drive = Quote(image + "@@" + std::to_string(volume.firstSector * 512));
        for (const EntryDescription& item : volume.entries) {
            const std::string parent = item.path.substr(0, item.path.rfind('/'));
            const auto listed =
                Run(Tool("mdir") + " -i " + drive + " " + Quote("::" + parent + "/"));
            const std::string leaf = item.path.substr(item.path.rfind('/') + 1);
            const std::string row = "\n" + leaf.substr(0, leaf.find('.')) + " ";
            if (item.kind == EntryKind::VolumeLabel) {
                EXPECT_NE(listed.second.find("Volume in drive : is " + item.label),
                          std::string::npos);
            } else if (item.deleted) {
                EXPECT_EQ(listed.second.find(row), std::string::npos) << item.path;
            } else {
                EXPECT_NE(listed.second.find(row), std::string::npos) << item.path << listed.second;
                EXPECT_NE(listed.second.find(item.longName), std::string::npos) << item.path;
            }
            if (item.kind == EntryKind::File && !item.deleted) {
                const auto typed =
                    Run(Tool("mtype") + " -i " + drive + " " + Quote("::" + item.path));
                EXPECT_EQ(typed.second, item.data) << item.path;
            }
        }
    }
    std::filesystem::remove_all(dir);
}

TEST(ImageAcceptance, DemoDiskAndFloppy) {
    CheckImage("--demo-disk", std::string(DemoDiskDescription()));
    CheckImage("--demo-floppy", std::string(DemoFloppyDescription()));
}

TEST(ImageAcceptance, FragmentedFilesInFat12Fat16AndFat32) {
    CheckImage("", R"(disk size=8M
partition type=0x01 start=63 size=6000
fat12 sectors_per_cluster=2
label "TWELVE"
dir /SUB lfn="Sub directory with a long name"
file /SUB/FRAG.TXT lfn="fragmented across the disk.txt" pattern="fragment " length=2600 clusters=40,12,30
deleted /GONE.TXT data="gone"
)");
    CheckImage("", R"(disk size=32M
partition type=0x05 start=2048 size=40000
logical type=0x06 start=4096 size=20000
fat16 sectors_per_cluster=2 root_entries=128
dir /A lfn="First level"
dir /A/B lfn="Second level"
file /A/B/DEEP.BIN lfn="Deep file with unicode \xc3\xa9t\xc3\xa9.bin" pattern="0123456789" length=4000 clusters=100,50,75,60
)");
    std::string fat32 = R"(disk size=40M
partition type=0x0B start=2048 size=70000
fat32 root_clusters=2,9,4,12
label "THIRTYTWO"
dir /TOP lfn="Top directory"
file /TOP/DATA.BIN pattern="xyz" length=3000 clusters=300,200,250,201,202,203
)";
    for (int i = 0; i < 20; ++i) {  // enough entries to need the second root cluster
        fat32 += "file /F" + std::to_string(i) + ".TXT lfn=\"File number " + std::to_string(i) +
                 ".txt\" data=\"" + std::to_string(i) + "\"\n";
    }
    CheckImage("", fat32);
}

}  // namespace
}  // namespace brovane::imagebuilder

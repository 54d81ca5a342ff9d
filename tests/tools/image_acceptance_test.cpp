// Images written by brovane-mkimage, checked by independent readers: fsck.fat
// -n on every volume (cut out of the image with dd), mdir for the labels and
// long names, mtype for every file's contents. The corpus' images come from
// the same builder, so only these readers see a builder fault.
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "imagebuilder/demo_images.h"
#include "imagebuilder/description_parser.h"

namespace brovane::imagebuilder {
namespace {

// The command's status and what it printed, stderr included; fsck.fat lives
// in /sbin on Debian, which is not on every user's PATH.
std::pair<int, std::string> Run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(("PATH=/usr/sbin:/sbin:$PATH " + command + " 2>&1").c_str(), "r");
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

// Writes the demo image the option names and checks every volume and entry
// of it against its description.
void CheckImage(const std::string& demoOption, const std::string& description) {
    char pattern[] = "/tmp/brovane-images-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    const std::string image = (dir / "image.img").string();
    const auto made = Run(std::string(BROVANE_MKIMAGE) + " " + demoOption + " " + Quote(image));
    ASSERT_EQ(made.first, 0) << made.second;
    Disk disk;
    std::string error;
    ASSERT_TRUE(ParseDescription(description, disk, error)) << error;
    setenv("MTOOLS_SKIP_CHECK", "1", 1);
    for (const FatVolume& volume : disk.volumes) {
        const std::string part = (dir / "volume.img").string();
        Run("dd if=" + Quote(image) + " of=" + Quote(part) + " bs=512 skip=" +
            std::to_string(volume.firstSector) + " count=" + std::to_string(volume.totalSectors));
        const auto fsck = Run("fsck.fat -n " + Quote(part));
        EXPECT_EQ(fsck.first, 0) << fsck.second;
        // A clean check prints its version and the summary line, nothing else.
        EXPECT_EQ(std::count(fsck.second.begin(), fsck.second.end(), '\n'), 2) << fsck.second;
        const std::string drive = Quote(image + "@@" + std::to_string(volume.firstSector * 512));
        for (const EntryDescription& item : volume.entries) {
            const std::string parent = item.path.substr(0, item.path.rfind('/'));
            const auto listed = Run("mdir -i " + drive + " " + Quote("::" + parent + "/"));
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
                const auto typed = Run("mtype -i " + drive + " " + Quote("::" + item.path));
                EXPECT_EQ(typed.second, item.data) << item.path;
            }
        }
    }
    std::filesystem::remove_all(dir);
}

// The demo disk holds FAT12, FAT16 and FAT32 volumes, primary and logical,
// with fragmented files, long names, labels and deleted entries.
TEST(ImageAcceptance, DemoDiskAndFloppy) {
    CheckImage("--demo-disk", std::string(DemoDiskDescription()));
    CheckImage("--demo-floppy", std::string(DemoFloppyDescription()));
}

}  // namespace
}  // namespace brovane::imagebuilder

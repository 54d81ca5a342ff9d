// A session whose tree is driven and printed the way brovane-batch does it.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/disk_lifecycle.h"
#include "batch/batch_runner.h"
#include "imagebuilder/description_parser.h"
#include "imagebuilder/image_builder.h"
#include "imagebuilder/sparse_image.h"
#include "session_harness.h"

namespace brovane {

// The parts of the text between separators; a separator at its end adds
// no empty part.
inline std::vector<std::string> Split(const std::string& text, char separator = '\n') {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + 1) {
        parts.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        parts.push_back(text.substr(start));
    }
    return parts;
}

struct WalkHarness : SessionHarness {
    WalkHarness() : runner(screen, session, out) {}

    void Start(bool diskLibrary = false) {
        platform.settings.diskLibrary = diskLibrary;
        InitDiskAccess(session);
    }
    // Runs brovane-batch lines and answers what they printed.
    std::string Batch(const std::string& script) {
        std::istringstream in(script);
        std::ostringstream err;
        out.str("");
        EXPECT_EQ(runner.RunScript(in, err), 0) << err.str();
        return out.str();
    }
    // The lines brovane-batch printed for the script.
    std::vector<std::string> BatchLines(const std::string& script) { return Split(Batch(script)); }
    TreeItemHandle Item(const std::string& path) { return runner.FindItem(path); }
    // Builds an image from its description (tools/README.md) and copies
    // every written page onto a new hard disk (or floppy) whose BIOS
    // geometry is the disk's. Answers the drive number.
    unsigned PlaceDescription(const std::string& description, bool floppy = false) {
        imagebuilder::Disk disk;
        std::string error;
        EXPECT_TRUE(imagebuilder::ParseDescription(description, disk, error)) << error;
        imagebuilder::SparseImage image(disk.sizeBytes);
        EXPECT_TRUE(imagebuilder::BuildImage(disk, image, error)) << error;
        const std::uint64_t sectors = disk.sizeBytes / kMemorySectorBytes;
        const unsigned drive = floppy ? platform.AddFloppy(sectors) : platform.AddHardDisk(sectors);
        MemoryDisk& memory = *platform.FindDisk(drive);
        memory.heads = disk.heads;
        memory.sectorsPerTrack = disk.sectorsPerTrack;
        for (std::uint64_t offset : image.WrittenPageOffsets()) {
            PokeBytes(memory, offset, image.Read(offset, imagebuilder::SparseImage::kPageBytes));
        }
        return drive;
    }
    // Expands every item above the one the path names.
    void OpenParents(const std::string& path) {
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            Batch("expand " + path.substr(0, slash) + "\n");
        }
    }
    TreeItemInfo& Record(const std::string& path) {
        TreeItemInfo* info = screen.GetTreeItemInfo(Item(path));
        EXPECT_NE(info, nullptr) << path;
        static TreeItemInfo none{};
        return info == nullptr ? none : *info;
    }

    std::ostringstream out;
    BatchRunner runner;
};

}  // namespace brovane

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
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

struct WalkHarness : SessionHarness {
    WalkHarness() : runner(screen, session, out) {}

    void Start(bool diskLibrary = false) {
        platform.settings.diskLibrary = diskLibrary;
        InitDiskAccess(session);
    }
    // Runs brovane-batch lines and answers what they printed; errors keeps
    // what they printed as errors.
    std::string Batch(const std::string& script, int expectedCode = 0) {
        std::istringstream in(script);
        std::ostringstream err;
        out.str("");
        EXPECT_EQ(runner.RunScript(in, err), expectedCode) << err.str();
        errors = err.str();
        return out.str();
    }
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
    std::string errors;
    BatchRunner runner;
};

}  // namespace brovane

// libFuzzer target: the input is the start of a hard disk and of a floppy,
// each exactly as large as the input (rounded up to whole sectors), walked as
// a user would: items expanded and selected in structure mode and in one
// dumping mode, and the first and last rows of each view drawn.
//
// The input's first byte picks how the run goes: bit 0 the access mode (set:
// the disk library), bit 1 the dumping mode (set: raw sectors, else sectors
// and clusters). That byte is boot code on a hard disk and the jump
// instruction on a floppy: nothing decodes it, so the choice costs the disks
// nothing, and one mode of each a run keeps a run cheap.
//
// A run costs well under a millisecond under the sanitizers: the disks are
// small, the walk has a budget of items and rows, and the platform's memory
// is cheap (see FuzzPlatform).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_platform.h"
#include "fuzz/fuzz_session.h"

namespace {

using brovane::TextScreen;
using brovane::TreeItemHandle;
namespace fuzz = brovane::fuzz;

// A path through the tree: drive, extended tables, volume, its children.
constexpr int kMaxDepth = 6;
constexpr int kMaxItems = 32;

void SelectInBothModes(TextScreen& screen, TreeItemHandle item, fuzz::Mode dumping) {
    for (fuzz::Mode mode : {fuzz::Mode::Structure, dumping}) {
        fuzz::SelectInMode(screen, item, mode);
        fuzz::DrawEnds(screen, 1);
    }
    screen.SetMenuChecked(brovane::CMD_SECTOR_DUMPING, false);
    screen.SetMenuChecked(brovane::CMD_RAW_DUMPING, false);
}

void WalkBelow(TextScreen& screen, TreeItemHandle parent, fuzz::Mode dumping, int depth,
               int& budget) {
    for (TreeItemHandle item : screen.Children(parent)) {
        if (--budget < 0) {
            return;
        }
        SelectInBothModes(screen, item, dumping);
        if (depth > 0 && screen.Expand(item)) {
            WalkBelow(screen, item, dumping, depth - 1, budget);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::KeptBlocks kept;  // lives as long as the fuzzing process
    fuzz::FuzzPlatform platform(kept);
    const std::size_t sectors = fuzz::SectorsFor(size);
    for (unsigned drive : {platform.AddHardDisk(sectors), platform.AddFloppy(sectors)}) {
        fuzz::FillDisk(*platform.FindDisk(drive), 0, data, size);
    }
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    const bool diskLibrary = (choice & 1U) != 0;
    const fuzz::Mode dumping =
        (choice & 2U) != 0 ? fuzz::Mode::RawSector : fuzz::Mode::SectorCluster;
    fuzz::FuzzSession run(platform, sectors * fuzz::kSectorBytes, diskLibrary);
    int budget = kMaxItems;
    WalkBelow(run.screen, brovane::kTreeRoot, dumping, kMaxDepth, budget);
    return 0;
}

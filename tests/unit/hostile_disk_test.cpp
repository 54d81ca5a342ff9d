// Disks whose tables and boot records hold damaged or random bytes: the walk
// and the presenters must neither crash nor read or allocate without bound
// (the sanitizer build runs this too).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>

#include "walk_harness.h"

namespace brovane {
namespace {

// Expands every item down to depth levels and selects each, reading every
// cell, up to maxItems items; answers the most children any item had.
std::size_t WalkBelow(TextScreen& screen, TreeItemHandle parent, int depth, std::size_t& items) {
    std::vector<TreeItemHandle> children = screen.Children(parent);
    std::size_t most = children.size();
    for (TreeItemHandle item : children) {
        if (++items > 400) {
            break;
        }
        screen.SelectTreeItem(item);
        for (int cell = 0; cell < screen.GetListItemCount() * screen.GetListColumnCount(); ++cell) {
            screen.CellText(cell / screen.GetListColumnCount(), cell % screen.GetListColumnCount());
        }
        if (depth > 0 && screen.Expand(item)) {
            most = std::max(most, WalkBelow(screen, item, depth - 1, items));
        }
    }
    return most;
}

using imagebuilder::FatKind;

imagebuilder::Disk SoundDisk() {
    imagebuilder::Disk disk;
    disk.sizeBytes = 16 << 20;
    disk.primaries[0] = Primary(0x06, 64, 8000);
    disk.primaries[1] = Primary(0x05, 8064, 20000);
    imagebuilder::LogicalPartition logical;
    logical.entry = Primary(0x01, 8064 + 63, 4000);
    logical.tableSector = 8064;
    disk.logicals.push_back(logical);
    disk.volumes.push_back(Volume(FatKind::Fat16, 64, 8000));
    disk.volumes.push_back(Volume(FatKind::Fat12, 8064 + 63, 4000));
    return disk;
}

// The sectors that hold tables and boot records.
constexpr std::uint64_t kStructureSectors[] = {0, 64, 8064, 8064 + 63};

TEST(HostileDisk, DamagedTablesAndBootRecordsAreWalkedSafely) {
    std::mt19937 random(20261207);
    std::size_t mostChildren = 0;
    MemoryPlatform built;
    const MemoryDisk& sound = *built.FindDisk(PlaceBuiltDisk(built, SoundDisk()));
    for (int round = 0; round < 200; ++round) {
        WalkHarness run;
        MemoryDisk& disk = *run.platform.FindDisk(run.platform.AddHardDisk(sound.sectorCount));
        disk.sectors = sound.sectors;
        disk.heads = sound.heads;
        disk.sectorsPerTrack = sound.sectorsPerTrack;
        // Damage a few bytes of each structure, sometimes all of them; the
        // first round only claims 200 FATs for the first volume.
        if (round == 0) {
            PokeBytes(disk, 64 * 512 + 16, {200});
        }
        for (std::uint64_t sector :
             round == 0 ? std::span<const std::uint64_t>{} : kStructureSectors) {
            int changes = round % 7 == 0 ? 512 : static_cast<int>(random() % 24);
            for (int i = 0; i < changes; ++i) {
                std::uint64_t offset =
                    sector * 512 + (round % 2 == 0 ? 430 + random() % 82 : random() % 512);
                PokeBytes(disk, offset, {static_cast<std::uint8_t>(random())});
            }
        }
        run.Start(round % 3 == 0);
        std::size_t items = 0;
        const std::size_t most = WalkBelow(run.screen, kTreeRoot, 4, items);
        // A table yields at most four children; a volume its FATs (a byte) and a root.
        EXPECT_LE(most, 256u) << round;
        mostChildren = std::max(mostChildren, most);
        EXPECT_EQ(run.platform.counters.badFrees, 0u);
    }
    EXPECT_GE(mostChildren, 201u);  // at least the 200 FATs and the root directory
}

}  // namespace
}  // namespace brovane

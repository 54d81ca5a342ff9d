// libFuzzer target: the input is the start of a hard disk and of a floppy,
// each exactly as large as the input (rounded up to whole sectors); its last
// kScriptBytes bytes, which are part of the disks too, steer the user: the
// access mode, how far to page, which row to edit and what to type.
//
// Each drive is first copied to an image, structure first (partition tables
// and volumes walked as the disk holds them), which must be its bytes.
// Items of both drives are expanded and each is selected in structure mode,
// its first and last rows drawn (partition tables, boot records, FATs,
// directories), searched for typed bytes (Find, then Find Next: nothing is
// written, a hit shown holds them), copied out (nothing is written to a
// disk, what is told is what the host holds), then in sector/cluster mode and in raw
// mode; in each dumping mode the dump is paged forward and back (Next and
// Previous), a row is edited through the byte dialog and Write Changes is
// answered yes. Every
// sector of both disks is then compared with what it should hold (the input,
// and the writes allowed so far): only the sectors of the unit on screen may
// have changed, each to its bytes in the current buffer, and a write
// reported as done must have put the whole unit there. A broken invariant
// aborts.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/copy_out_command.h"
#include "dump/dump_position.h"
#include "format/little_endian.h"
#include "fuzz/fuzz_platform.h"
#include "fuzz/fuzz_session.h"
#include "screen/byte_boxes.h"

namespace {

using brovane::ByteSpan;
using brovane::TextScreen;
using brovane::TreeItemHandle;
namespace fuzz = brovane::fuzz;
using fuzz::Require;

constexpr std::size_t kScriptBytes = 20;
constexpr int kMaxDepth = 6;
constexpr int kItemsPerDrive = 6;
constexpr std::uint32_t kPagesForward = 4;  // 0 to 3 Next
constexpr std::uint32_t kPagesBack = 3;     // 0 to 2 Previous
constexpr std::string_view kWritten = "message: Changes written successfully!";

// The last kScriptBytes bytes of the input (zeros in front of a shorter one):
// byte 0 bit 0 the disk library instead of the device paths, bit 1 the
// typed bytes put in the boxes as they are (one character a box) instead
// of in hexadecimal, bit 2 disks without the library's extended interface,
// addressed by cylinder, head and sector: a damaged table's addresses can
// name another sector than the item's, so Write Changes is answered no and
// no sector may change; byte 1 pages forward, byte 2 pages back, byte 3 the
// row to edit; bytes 4 to 19 the typed bytes.
struct Script {
    explicit Script(ByteSpan input)
        : tail(input.last(std::min(input.size(), kScriptBytes))), pad(kScriptBytes - tail.size()) {}
    std::uint8_t Byte(std::size_t n) const {
        return n < pad ? std::uint8_t{0} : brovane::ReadU8(tail, n - pad);
    }
    bool DiskLibrary() const { return (Byte(0) & 1) != 0; }
    bool RawBoxes() const { return (Byte(0) & 2) != 0; }
    bool ChsOnly() const { return (Byte(0) & 4) != 0; }

    ByteSpan tail;
    std::size_t pad;
};

using Sector = std::array<std::uint8_t, brovane::kMemorySectorBytes>;
using Contents = std::map<std::uint64_t, Sector>;

// The sectors Write Changes may write: the unit on screen.
struct Unit {
    unsigned drive;
    std::uint64_t first;
    std::uint64_t count;
};

struct Run {
    fuzz::FuzzPlatform& platform;
    TextScreen& screen;
    brovane::Session& session;
    const Script& script;
    const std::vector<std::string>& printed;
    // Each drive's contents as they should be: the input, then every write
    // the checks allowed.
    std::map<unsigned, Contents> expected;
    unsigned visit = 0;
};

// What Write Changes may write now: nothing unless a dump shows a unit whose
// last read brought all of its bytes. At position 0 of an item whose
// relativeSector is 0 the unit is the item's own first sector, baseSector.
std::optional<Unit> WritableUnit(const brovane::RightPaneState& pane) {
    const bool dump = pane.viewMode == brovane::VM_CLUSTER_DUMP ||
                      pane.viewMode == brovane::VM_SECTOR_DUMP ||
                      pane.viewMode == brovane::VM_RAW_SECTOR_DUMP;
    const std::optional<brovane::TreeItemInfo> unit = brovane::CurrentUnit(pane);
    if (!dump || !pane.unitRead || !unit) {
        return std::nullopt;
    }
    return Unit{unit->driveNumber, std::uint64_t{unit->baseSector} + unit->relativeSector,
                unit->sectorCount};
}

const Sector& SectorOf(const Contents& contents, std::uint64_t sector) {
    static const Sector kZeros{};
    auto found = contents.find(sector);
    return found == contents.end() ? kZeros : found->second;
}

// The sector as the current buffer holds it, at its place in the unit.
ByteSpan BufferSector(const brovane::RightPaneState& pane, const Unit& unit, std::uint64_t sector) {
    const std::uint64_t offset = (sector - unit.first) * fuzz::kSectorBytes;
    Require(offset + fuzz::kSectorBytes <= pane.currentBuffer.size());
    return pane.currentBuffer.bytes().subspan(static_cast<std::size_t>(offset), fuzz::kSectorBytes);
}

bool Equal(const Sector& sector, ByteSpan bytes) {
    return std::equal(sector.begin(), sector.end(), bytes.begin(), bytes.end());
}

// Every sector of the drive that differs from what it should be: each must
// lie in the unit and hold the unit's bytes from the current buffer; it is
// then what the sector should be.
void CheckDrive(Run& run, unsigned drive, const std::optional<Unit>& unit) {
    const Contents& now = run.platform.FindDisk(drive)->sectors;
    Contents& expected = run.expected[drive];
    std::vector<std::uint64_t> changed;
    for (const auto& [sector, bytes] : now) {
        if (SectorOf(expected, sector) != bytes) {
            changed.push_back(sector);
        }
    }
    for (const auto& [sector, bytes] : expected) {
        Require(now.contains(sector));  // the disk never forgets a sector
    }
    for (std::uint64_t sector : changed) {
        Require(unit && unit->drive == drive && sector >= unit->first &&
                sector - unit->first < unit->count);
        Require(Equal(now.at(sector), BufferSector(run.session.pane, *unit, sector)));
        expected[sector] = now.at(sector);
    }
}

// Write Changes reported done: the whole unit holds the current buffer.
void CheckWritten(Run& run, const Unit& unit) {
    const Contents& now = run.platform.FindDisk(unit.drive)->sectors;
    for (std::uint64_t n = 0; n < unit.count; ++n) {
        Require(Equal(SectorOf(now, unit.first + n),
                      BufferSector(run.session.pane, unit, unit.first + n)));
    }
}

// The sixteen boxes of the byte dialog, typed from the script.
TextScreen::BoxTexts TypedBoxes(const Script& script) {
    TextScreen::BoxTexts boxes;
    for (std::size_t n = 0; n < boxes.size(); ++n) {
        const std::uint8_t byte = script.Byte(4 + n);
        boxes[n] = script.RawBoxes() ? std::string(1, static_cast<char>(byte))
                                     : brovane::ByteBoxText(byte);
    }
    return boxes;
}

unsigned WriteCalls(const fuzz::FuzzPlatform& platform) {
    return platform.counters.writes + platform.counters.libraryWrites;
}

void PageEditAndWrite(Run& run, TreeItemHandle item, fuzz::Mode mode) {
    const unsigned writesBefore = WriteCalls(run.platform);
    fuzz::SelectInMode(run.screen, item, mode);
    const std::uint32_t forward = (run.script.Byte(1) + run.visit) % kPagesForward;
    const std::uint32_t back = (run.script.Byte(2) + run.visit) % kPagesBack;
    ++run.visit;
    for (std::uint32_t n = 0; n < forward; ++n) {
        run.session.OnCommand(brovane::CMD_NEXT);
    }
    for (std::uint32_t n = 0; n < back; ++n) {
        run.session.OnCommand(brovane::CMD_PREVIOUS);
    }
    if (const int rows = run.screen.GetListItemCount(); rows > 0) {
        const int row = run.script.Byte(3) % rows;
        run.screen.SetNextEdit(TypedBoxes(run.script));
        run.screen.DoubleClickList(row);
        fuzz::DrawRow(run.screen, row);
    }
    const std::optional<Unit> unit = WritableUnit(run.session.pane);
    const std::size_t printed = run.printed.size();
    run.screen.QueueAnswer(!run.script.ChsOnly());
    run.session.OnCommand(brovane::CMD_WRITE_CHANGES);
    const bool written = std::find(run.printed.begin() + static_cast<std::ptrdiff_t>(printed),
                                   run.printed.end(), kWritten) != run.printed.end();
    Require(!written || unit.has_value());
    Require(!run.script.ChsOnly() || WriteCalls(run.platform) == writesBefore);  // answered no
    if (written) {
        CheckWritten(run, *unit);
    }
    // A disk changes only through the platform's writes: without one there
    // is nothing to compare.
    if (WriteCalls(run.platform) != writesBefore) {
        for (auto& [drive, contents] : run.expected) {
            CheckDrive(run, drive, unit);
        }
    }
}

// Find and Find Next of one to four typed bytes over the item's raw range:
// nothing is written, and a hit shown is the pattern's place (as much of
// it as lies in the sector on screen).
void FindTypedBytes(Run& run) {
    const unsigned writesBefore = WriteCalls(run.platform);
    std::string hex;
    std::vector<std::uint8_t> pattern;
    for (std::size_t n = 0; n < 1 + run.script.Byte(3) % 4u; ++n) {
        pattern.push_back(run.script.Byte(4 + n));
        hex += brovane::ByteBoxText(pattern.back());
    }
    brovane::FindState& find = run.session.find;
    find.pattern.reset();
    run.screen.SetNextSearch(brovane::SearchRequest{hex, true, true});
    run.session.OnCommand(brovane::CMD_FIND);
    run.session.OnCommand(brovane::CMD_FIND_NEXT);
    Require(WriteCalls(run.platform) == writesBefore);
    const brovane::RightPaneState& pane = run.session.pane;
    if (find.hasHit && pane.viewMode == brovane::VM_RAW_SECTOR_DUMP && pane.unitRead) {
        const std::size_t offset = find.hitByte % fuzz::kSectorBytes;
        const std::size_t shown = std::min(pattern.size(), fuzz::kSectorBytes - offset);
        Require(std::equal(pattern.begin(), pattern.begin() + static_cast<std::ptrdiff_t>(shown),
                           pane.currentBuffer.data() + offset));
    }
}

// Copy Out of a volume, directory or file into a host folder of 1 MiB:
// nothing is written to a disk, the copy ends, each file it tells of holds
// the bytes it told, no more than its entry's size, and no partial file is
// left behind.
void CopyOutItem(Run& run, TreeItemHandle item) {
    const brovane::TreeItemInfo* info = run.screen.GetTreeItemInfo(item);
    if (info == nullptr || !brovane::IsCopyOutItem(*info)) {
        return;
    }
    const unsigned writesBefore = WriteCalls(run.platform);
    brovane::MemoryHostFiles& host = run.platform.hostFiles;
    host = brovane::MemoryHostFiles{};
    host.folders["/out"] = 0;
    host.capacity = 1 << 20;
    std::map<std::string, std::uint64_t> told;
    brovane::CopyOutItem(run.session.Io(), *info, "/out", [&](const brovane::CopiedItem& copied) {
        Require(copied.bytes <= copied.item.size);
        told["/out/" + copied.item.path] = copied.bytes;
    });
    Require(WriteCalls(run.platform) == writesBefore);
    for (const auto& [path, file] : host.files) {
        Require(path.find("/.~") == std::string::npos);
        Require(told.contains(path) && told.at(path) == file.bytes.size());
    }
    host = brovane::MemoryHostFiles{};
}

// The item in structure mode, its first and last rows drawn, searched and
// copied out, then in both dumping modes.
void Visit(Run& run, TreeItemHandle item) {
    fuzz::SelectInMode(run.screen, item, fuzz::Mode::Structure);
    fuzz::DrawEnds(run.screen, 1);
    FindTypedBytes(run);
    CopyOutItem(run, item);
    PageEditAndWrite(run, item, fuzz::Mode::SectorCluster);
    PageEditAndWrite(run, item, fuzz::Mode::RawSector);
}

void VisitBelow(Run& run, TreeItemHandle parent, int depth, int& budget) {
    for (TreeItemHandle item : run.screen.Children(parent)) {
        if (--budget < 0) {
            return;
        }
        Visit(run, item);
        if (depth > 0 && run.screen.Expand(item)) {
            VisitBelow(run, item, depth - 1, budget);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::KeptBlocks kept;  // lives as long as the fuzzing process
    const Script script(ByteSpan(data, size));
    fuzz::FuzzPlatform platform(kept);
    const std::size_t sectors = fuzz::SectorsFor(size);
    const std::vector<unsigned> drives = {platform.AddHardDisk(sectors),
                                          platform.AddFloppy(sectors)};
    for (unsigned drive : drives) {
        brovane::MemoryDisk& disk = *platform.FindDisk(drive);
        disk.int13Extensions = script.ChsOnly() ? 0 : 1;
        fuzz::FillDisk(disk, 0, data, size);
    }
    std::vector<std::string> printed;
    fuzz::FuzzSession session(platform, sectors * fuzz::kSectorBytes, script.DiskLibrary(),
                              [&printed](std::string_view line) { printed.emplace_back(line); });
    Run run{platform, session.screen, session.session, script, printed, {}};
    for (unsigned drive : drives) {
        run.expected[drive] = platform.FindDisk(drive)->sectors;
    }
    for (TreeItemHandle drive : session.screen.Children(brovane::kTreeRoot)) {
        fuzz::CopyAndCompare(session, platform, drive);
        int budget = kItemsPerDrive;
        Visit(run, drive);
        if (session.screen.Expand(drive)) {
            VisitBelow(run, drive, kMaxDepth, budget);
        }
    }
    return 0;
}

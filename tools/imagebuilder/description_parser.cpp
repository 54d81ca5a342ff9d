// Each command reads its options into the Disk being built. Partition and
// logical lines remember their extent for the volume line that follows;
// label, dir, file, deleted and damage lines go to the last volume.
#include "imagebuilder/description_parser.h"

#include <array>
#include <functional>

#include "imagebuilder/description_line.h"
#include "imagebuilder/partition_table.h"

namespace brovane::imagebuilder {

namespace {

struct ParserState {
    explicit ParserState(Disk& target) : disk(target) {}

    Disk& disk;
    bool haveDisk = false;
    std::optional<PartitionEntry> lastPartition;
    std::size_t nextSlot = 0;
    std::string error;

    FatVolume* Volume() {
        if (disk.volumes.empty()) {
            error = "no volume declared yet (fat12, fat16 or fat32)";
            return nullptr;
        }
        return &disk.volumes.back();
    }
};

bool ReadPartitionEntry(DescriptionLine& line, PartitionEntry& entry) {
    return line.Number("type", entry.type) && line.Number("status", entry.status) &&
           line.Number("start", entry.start) && line.Number("size", entry.size) &&
           line.Chs("chs_start", entry.chsStart) && line.Chs("chs_end", entry.chsEnd);
}

bool DiskCommand(DescriptionLine& line, ParserState& state) {
    std::uint64_t sectors = 0;
    Disk& disk = state.disk;
    const bool ok = line.ByteSize("size", disk.sizeBytes) && line.Number("sectors", sectors) &&
                    line.Number("heads", disk.heads) &&
                    line.Number("sectors_per_track", disk.sectorsPerTrack) &&
                    line.Number("signature", disk.diskSignature);
    if (sectors != 0) {
        disk.sizeBytes = sectors * kSectorBytes;
    }
    state.haveDisk = true;
    return ok;
}

bool PartitionCommand(DescriptionLine& line, ParserState& state) {
    std::size_t slot = state.nextSlot + 1;
    PartitionEntry entry;
    if (!line.Number("slot", slot) || !ReadPartitionEntry(line, entry)) {
        return false;
    }
    if (slot < 1 || slot > 4) {
        state.error = "slot must be 1 to 4";
        return false;
    }
    state.disk.primaries[slot - 1] = entry;
    state.nextSlot = slot;
    state.lastPartition = entry;
    return true;
}

bool LogicalCommand(DescriptionLine& line, ParserState& state) {
    LogicalPartition logical;
    if (!ReadPartitionEntry(line, logical.entry) || !line.Number("ebr", logical.tableSector) ||
        !line.Number("link_type", logical.linkType)) {
        return false;
    }
    state.disk.logicals.push_back(logical);
    state.lastPartition = logical.entry;
    return true;
}

bool ReadVolumeGeometry(DescriptionLine& line, FatVolume& volume) {
    return line.Number("start", volume.firstSector) && line.Number("size", volume.totalSectors) &&
           line.Number("sectors_per_cluster", volume.sectorsPerCluster) &&
           line.Number("reserved", volume.reservedSectors) &&
           line.Number("fats", volume.fatCount) &&
           line.Number("root_entries", volume.rootEntryCount) &&
           line.Number("media", volume.media) &&
           line.Number("sectors_per_fat", volume.sectorsPerFat) &&
           line.Number("sectors_per_track", volume.sectorsPerTrack) &&
           line.Number("heads", volume.heads) && line.Number("hidden", volume.hiddenSectors);
}

bool ReadVolumeIdentity(DescriptionLine& line, FatVolume& volume) {
    return line.Number("drive", volume.driveNumber) && line.Number("volume_id", volume.volumeId) &&
           line.Text("oem", volume.oemName) && line.Text("boot_label", volume.bootLabel) &&
           line.ClusterList("root_clusters", volume.rootClusters) &&
           line.Number("fsinfo", volume.fsInfoSector) &&
           line.Number("backup_boot", volume.backupBootSector);
}

bool VolumeCommand(DescriptionLine& line, ParserState& state, FatKind kind) {
    FatVolume volume;
    volume.kind = kind;
    if (kind == FatKind::Fat32) {
        volume.sectorsPerCluster = 1;
    }
    if (state.lastPartition) {
        volume.firstSector = state.lastPartition->start;
        volume.totalSectors = state.lastPartition->size;
    }
    if (!ReadVolumeGeometry(line, volume) || !ReadVolumeIdentity(line, volume)) {
        return false;
    }
    if (volume.totalSectors == 0) {
        state.error = "the volume needs a partition line before it, or start= and size=";
        return false;
    }
    state.disk.volumes.push_back(volume);
    state.lastPartition.reset();
    return true;
}

bool ReadStamp(DescriptionLine& line, DosStamp& stamp) {
    std::uint16_t date = stamp.modifiedDate;
    std::uint16_t time = stamp.modifiedTime;
    if (!line.Date("date", date) || !line.Time("time", time)) {
        return false;
    }
    stamp = {time, date, date, time, date};
    return line.Time("ctime", stamp.createdTime) && line.Date("cdate", stamp.createdDate) &&
           line.Date("adate", stamp.accessedDate) && line.Time("mtime", stamp.modifiedTime) &&
           line.Date("mdate", stamp.modifiedDate);
}

bool ReadEntryCommon(DescriptionLine& line, EntryDescription& item) {
    item.deleted = line.Flag("deleted") || item.deleted;
    item.longNameDeleted = !line.Flag("keep_lfn");
    return line.Text("lfn", item.longName) && line.ClusterList("clusters", item.clusters) &&
           line.Number("attr", item.attributes) && line.Number("size", item.sizeOverride) &&
           line.Number("first_cluster", item.firstClusterOverride) && ReadStamp(line, item.stamp);
}

// data="text", hex=..., or pattern="text" repeated up to length=N bytes.
bool ReadFileData(DescriptionLine& line, std::string& data) {
    std::vector<std::uint8_t> hex;
    std::string pattern;
    std::uint64_t length = 0;
    if (!line.Text("data", data) || !line.HexBytes("hex", hex) || !line.Text("pattern", pattern) ||
        !line.ByteSize("length", length)) {
        return false;
    }
    data.append(hex.begin(), hex.end());
    for (std::uint64_t i = 0; !pattern.empty() && i < length; ++i) {
        data.push_back(pattern[i % pattern.size()]);
    }
    return true;
}

bool AddEntry(DescriptionLine& line, ParserState& state, EntryDescription item) {
    FatVolume* volume = state.Volume();
    if (volume == nullptr) {
        return false;
    }
    item.path = line.Word();
    if (item.path.empty()) {
        state.error = "a path is needed";
        return false;
    }
    if (!ReadEntryCommon(line, item) ||
        (item.kind == EntryKind::File && !ReadFileData(line, item.data))) {
        return false;
    }
    volume->entries.push_back(item);
    return true;
}

bool FileCommand(DescriptionLine& line, ParserState& state) {
    return AddEntry(line, state, {});
}

bool DeletedCommand(DescriptionLine& line, ParserState& state) {
    EntryDescription item;
    item.deleted = true;
    return AddEntry(line, state, item);
}

bool DirCommand(DescriptionLine& line, ParserState& state) {
    return AddEntry(line, state, DirectoryEntry(""));
}

bool LabelCommand(DescriptionLine& line, ParserState& state) {
    FatVolume* volume = state.Volume();
    EntryDescription item = LabelEntry(line.Word());
    if (volume == nullptr || !line.Text("path", item.path) || !ReadEntryCommon(line, item)) {
        return false;
    }
    volume->entries.push_back(item);
    return true;
}

bool RequireValue(DescriptionLine& line, ParserState& state, const std::string& key,
                  const std::string& what) {
    if (!line.Has(key)) {
        state.error = what + " needs " + key + "=";
        return false;
    }
    return true;
}

bool DamageFat(DescriptionLine& line, ParserState& state, FatVolume& volume) {
    FatEntryOverride override;
    if (!RequireValue(line, state, "cluster", "damage fat") ||
        !RequireValue(line, state, "value", "damage fat") ||
        !line.Number("cluster", override.cluster) || !line.Number("value", override.value) ||
        !line.Number("copy", override.copy)) {
        return false;
    }
    volume.fatOverrides.push_back(override);
    return true;
}

bool DamageBoot(DescriptionLine& line, ParserState& state, FatVolume& volume) {
    BootFieldOverride override;
    if (!RequireValue(line, state, "field", "damage boot") ||
        !RequireValue(line, state, "value", "damage boot") || !line.Text("field", override.field) ||
        !line.Number("value", override.value)) {
        return false;
    }
    volume.bootOverrides.push_back(override);
    return true;
}

bool DamageCommand(DescriptionLine& line, ParserState& state) {
    const std::string what = line.Word();
    FatVolume* volume = state.Volume();
    if (volume == nullptr) {
        return false;
    }
    if (what == "fat") {
        return DamageFat(line, state, *volume);
    }
    if (what == "boot") {
        return DamageBoot(line, state, *volume);
    }
    state.error = "damage takes fat or boot, not '" + what + "'";
    return false;
}

// offset= is absolute; volume_offset= counts from the last volume's start.
bool PokeCommand(DescriptionLine& line, ParserState& state) {
    BytePoke poke;
    std::optional<std::uint64_t> volumeOffset;
    if (!RequireValue(line, state, "hex", "poke") || !line.Number("offset", poke.offset) ||
        !line.Number("volume_offset", volumeOffset) || !line.HexBytes("hex", poke.bytes)) {
        return false;
    }
    if (volumeOffset) {
        const FatVolume* volume = state.Volume();
        if (volume == nullptr) {
            return false;
        }
        poke.offset = volume->firstSector * kSectorBytes + *volumeOffset;
    }
    state.disk.pokes.push_back(poke);
    return true;
}

// One partition-table entry written raw into the table at sector table=:
// its relative sectors are start= less base=, its CHS bytes those of start=
// (unless given). It lands with the pokes, so it can replace an entry the
// chain wrote: a link back to an earlier table, a zero offset.
bool EntryCommand(DescriptionLine& line, ParserState& state) {
    std::uint64_t table = 0;
    std::size_t slot = 0;
    std::uint32_t base = 0;
    PartitionEntry entry;
    if (!RequireValue(line, state, "table", "entry") ||
        !RequireValue(line, state, "slot", "entry") || !line.Number("table", table) ||
        !line.Number("slot", slot) || !line.Number("base", base) ||
        !ReadPartitionEntry(line, entry)) {
        return false;
    }
    if (slot < 1 || slot > 4 || entry.start < base) {
        state.error =
            slot < 1 || slot > 4 ? "slot must be 1 to 4" : "start= lies in front of base=";
        return false;
    }
    std::array<std::uint8_t, kSectorBytes> sector{};
    EncodePartitionEntry(sector, slot - 1, entry, base, state.disk);
    const std::size_t at = kPartitionTableOffset + (slot - 1) * kPartitionEntryBytes;
    BytePoke poke{table * kSectorBytes + at, {}};
    poke.bytes.assign(sector.begin() + static_cast<std::ptrdiff_t>(at),
                      sector.begin() + static_cast<std::ptrdiff_t>(at + kPartitionEntryBytes));
    state.disk.pokes.push_back(poke);
    return true;
}

// The finished image is cut to size= bytes (or sectors=).
bool TruncateCommand(DescriptionLine& line, ParserState& state) {
    std::uint64_t bytes = 0;
    std::uint64_t sectors = 0;
    if (line.Has("size") == line.Has("sectors")) {
        state.error = "truncate needs size= or sectors=";
        return false;
    }
    if (!line.ByteSize("size", bytes) || !line.Number("sectors", sectors)) {
        return false;
    }
    state.disk.truncateBytes = line.Has("sectors") ? sectors * kSectorBytes : bytes;
    return true;
}

using Command = std::function<bool(DescriptionLine&, ParserState&)>;

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands{
        {"disk", DiskCommand},
        {"partition", PartitionCommand},
        {"logical", LogicalCommand},
        {"fat12",
         [](auto& line, auto& state) { return VolumeCommand(line, state, FatKind::Fat12); }},
        {"fat16",
         [](auto& line, auto& state) { return VolumeCommand(line, state, FatKind::Fat16); }},
        {"fat32",
         [](auto& line, auto& state) { return VolumeCommand(line, state, FatKind::Fat32); }},
        {"label", LabelCommand},
        {"dir", DirCommand},
        {"file", FileCommand},
        {"deleted", DeletedCommand},
        {"damage", DamageCommand},
        {"poke", PokeCommand},
        {"entry", EntryCommand},
        {"truncate", TruncateCommand},
    };
    return commands;
}

bool RunLine(DescriptionLine& line, ParserState& state) {
    const auto command = Commands().find(line.Command());
    if (command == Commands().end()) {
        state.error = "unknown command '" + line.Command() + "'";
        return false;
    }
    if (line.Command() != "disk" && !state.haveDisk) {
        state.error = "the description must begin with a disk line";
        return false;
    }
    if (!command->second(line, state)) {
        if (state.error.empty()) {
            state.error = line.Error();
        }
        return false;
    }
    return line.CheckAllUsed(state.error);
}

}  // namespace

bool ParseDescription(std::string_view text, Disk& disk, std::string& error) {
    disk = {};
    ParserState state(disk);
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size() || number == 0;) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        ++number;
        DescriptionLine line;
        if (!line.Split(text.substr(at, end - at), state.error) ||
            (!line.IsEmpty() && !RunLine(line, state))) {
            error = "line " + std::to_string(number) + ": " + state.error;
            return false;
        }
        at = end + 1;
    }
    if (!state.haveDisk || disk.sizeBytes == 0) {
        error = "no disk line with a size";
        return false;
    }
    return true;
}

}  // namespace brovane::imagebuilder

#include "imagebuilder/partition_table.h"

#include <array>

#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder {

namespace {

using Sector = std::array<std::uint8_t, kSectorBytes>;

void PutChs(std::span<std::uint8_t> entry, std::size_t offset, ChsBytes chs) {
    PutU8(entry, offset, chs.head);
    PutU8(entry, offset + 1, chs.sector);
    PutU8(entry, offset + 2, chs.cylinder);
}

bool WriteTable(SparseImage& image, std::uint64_t sector, Sector& table, std::string& error) {
    PutU16(table, kSignatureOffset, 0xAA55);
    if (!image.Write(sector * kSectorBytes, table)) {
        error = "partition table at sector " + std::to_string(sector) + " lies past the disk's end";
        return false;
    }
    return true;
}

std::uint32_t DefaultTableSector(const Disk& disk, std::size_t index, std::uint32_t extendedStart) {
    if (index == 0) {
        return extendedStart;
    }
    const PartitionEntry& previous = disk.logicals[index - 1].entry;
    return previous.start + previous.size;
}

const PartitionEntry* FindExtended(const Disk& disk) {
    for (const PartitionEntry& entry : disk.primaries) {
        if (IsExtendedType(entry.type)) {
            return &entry;
        }
    }
    return nullptr;
}

bool CheckLogical(const PartitionEntry& logical, std::uint32_t table,
                  const PartitionEntry& extended, std::string& error) {
    const std::uint64_t end = std::uint64_t{logical.start} + logical.size;
    if (table < extended.start || logical.start <= table ||
        end > std::uint64_t{extended.start} + extended.size) {
        error = "logical partition at sector " + std::to_string(logical.start) +
                " does not lie behind its table inside the extended partition";
        return false;
    }
    return true;
}

bool WriteExtendedChain(const Disk& disk, SparseImage& image, std::string& error) {
    const PartitionEntry* extended = FindExtended(disk);
    if (extended == nullptr) {
        error = "logical partitions need an extended partition (type 0x05, 0x0F or 0x85)";
        return false;
    }
    std::vector<std::uint32_t> tables;
    for (std::size_t i = 0; i < disk.logicals.size(); ++i) {
        tables.push_back(
            disk.logicals[i].tableSector.value_or(DefaultTableSector(disk, i, extended->start)));
        if (!CheckLogical(disk.logicals[i].entry, tables[i], *extended, error)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < disk.logicals.size(); ++i) {
        Sector table{};
        EncodePartitionEntry(table, 0, disk.logicals[i].entry, tables[i], disk);
        if (i + 1 < disk.logicals.size()) {
            const PartitionEntry& next = disk.logicals[i + 1].entry;
            PartitionEntry link;
            link.type = disk.logicals[i + 1].linkType;
            link.start = tables[i + 1];
            link.size = next.start + next.size - tables[i + 1];
            EncodePartitionEntry(table, 1, link, extended->start, disk);
        }
        if (!WriteTable(image, tables[i], table, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

ChsBytes LbaToChs(std::uint64_t lba, std::uint16_t heads, std::uint16_t sectorsPerTrack) {
    if (heads == 0 || sectorsPerTrack == 0) {
        return {};
    }
    const std::uint64_t cylinder = lba / (std::uint64_t{heads} * sectorsPerTrack);
    if (cylinder > 1023) {
        return {static_cast<std::uint8_t>(heads - 1),
                static_cast<std::uint8_t>(0xC0 | (sectorsPerTrack & 0x3F)), 0xFF};
    }
    const auto head = static_cast<std::uint8_t>((lba / sectorsPerTrack) % heads);
    const auto sector = static_cast<std::uint8_t>((lba % sectorsPerTrack + 1) & 0x3F);
    return {head, static_cast<std::uint8_t>(sector | ((cylinder >> 8) << 6)),
            static_cast<std::uint8_t>(cylinder & 0xFF)};
}

bool IsExtendedType(std::uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

void EncodePartitionEntry(std::span<std::uint8_t> sector, std::size_t slot,
                          const PartitionEntry& entry, std::uint32_t base, const Disk& disk) {
    auto bytes =
        sector.subspan(kPartitionTableOffset + slot * kPartitionEntryBytes, kPartitionEntryBytes);
    const std::uint64_t last = std::uint64_t{entry.start} + entry.size - (entry.size > 0 ? 1 : 0);
    PutU8(bytes, kEntryStatus, entry.status);
    PutChs(bytes, kEntryChsStart,
           entry.chsStart.value_or(LbaToChs(entry.start, disk.heads, disk.sectorsPerTrack)));
    PutU8(bytes, kEntryType, entry.type);
    PutChs(bytes, kEntryChsEnd,
           entry.chsEnd.value_or(LbaToChs(last, disk.heads, disk.sectorsPerTrack)));
    PutU32(bytes, kEntryRelativeSector, entry.start - base);
    PutU32(bytes, kEntrySectorCount, entry.size);
}

bool WritePartitionTables(const Disk& disk, SparseImage& image, std::string& error) {
    Sector mbr{};
    bool any = false;
    for (std::size_t slot = 0; slot < disk.primaries.size(); ++slot) {
        if (disk.primaries[slot].type != 0) {
            EncodePartitionEntry(mbr, slot, disk.primaries[slot], 0, disk);
            any = true;
        }
    }
    if (!any) {
        return disk.logicals.empty() || WriteExtendedChain(disk, image, error);
    }
    PutU32(mbr, kDiskSignatureOffset, disk.diskSignature);
    if (!WriteTable(image, 0, mbr, error)) {
        return false;
    }
    return disk.logicals.empty() || WriteExtendedChain(disk, image, error);
}

}  // namespace brovane::imagebuilder

#include "imagebuilder/boot_record.h"

#include <array>
#include <string_view>

#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder {

namespace {

struct NamedField {
    std::string_view name;
    std::size_t offset;  // for the extended fields: from the extended block's start
    std::size_t width;
    bool extended;
};

constexpr std::array kNamedFields{
    NamedField{"bytes_per_sector", kBootBytesPerSector, 2, false},
    NamedField{"sectors_per_cluster", kBootSectorsPerCluster, 1, false},
    NamedField{"reserved_sectors", kBootReservedSectors, 2, false},
    NamedField{"fat_count", kBootFatCount, 1, false},
    NamedField{"root_entries", kBootRootEntryCount, 2, false},
    NamedField{"total_sectors_16", kBootTotalSectors16, 2, false},
    NamedField{"media", kBootMedia, 1, false},
    NamedField{"sectors_per_fat_16", kBootSectorsPerFat16, 2, false},
    NamedField{"sectors_per_track", kBootSectorsPerTrack, 2, false},
    NamedField{"heads", kBootHeads, 2, false},
    NamedField{"hidden_sectors", kBootHiddenSectors, 4, false},
    NamedField{"total_sectors_32", kBootTotalSectors32, 4, false},
    NamedField{"sectors_per_fat_32", kBootSectorsPerFat32, 4, false},
    NamedField{"ext_flags", kBootExtFlags, 2, false},
    NamedField{"fs_version", kBootFsVersion, 2, false},
    NamedField{"root_cluster", kBootRootCluster, 4, false},
    NamedField{"fsinfo_sector", kBootFsInfoSector, 2, false},
    NamedField{"backup_boot_sector", kBootBackupBootSector, 2, false},
    NamedField{"drive_number", kExtDriveNumber, 1, true},
    NamedField{"boot_signature", kExtBootSignature, 1, true},
    NamedField{"volume_id", kExtVolumeId, 4, true},
    NamedField{"signature", kBootSignature, 2, false},
};

std::size_t ExtendedBlock(FatKind kind) {
    return kind == FatKind::Fat32 ? kExtendedBpb32 : kExtendedBpb16;
}

std::string_view FsTypeName(FatKind kind) {
    switch (kind) {
        case FatKind::Fat12:
            return "FAT12";
        case FatKind::Fat16:
            return "FAT16";
        case FatKind::Fat32:
            return "FAT32";
    }
    return "FAT";
}

void EncodeCommonFields(std::span<std::uint8_t> sector, const FatVolume& volume,
                        const VolumeLayout& layout) {
    const bool fat32 = volume.kind == FatKind::Fat32;
    const bool small = volume.totalSectors < 0x10000 && !fat32;
    PutU8(sector, kBootJump, 0xEB);
    PutU8(sector, kBootJump + 1, fat32 ? 0x58 : 0x3C);
    PutU8(sector, kBootJump + 2, 0x90);
    PutText(sector, kBootOemName, volume.oemName, 8);
    PutU16(sector, kBootBytesPerSector, kSectorBytes);
    PutU8(sector, kBootSectorsPerCluster, volume.sectorsPerCluster);
    PutU16(sector, kBootReservedSectors, static_cast<std::uint16_t>(layout.reservedSectors));
    PutU8(sector, kBootFatCount, volume.fatCount);
    PutU16(sector, kBootRootEntryCount, fat32 ? 0 : volume.rootEntryCount);
    PutU16(sector, kBootTotalSectors16,
           small ? static_cast<std::uint16_t>(volume.totalSectors) : 0);
    PutU8(sector, kBootMedia, volume.media);
    PutU16(sector, kBootSectorsPerFat16,
           fat32 ? 0 : static_cast<std::uint16_t>(layout.sectorsPerFat));
    PutU16(sector, kBootSectorsPerTrack, volume.sectorsPerTrack);
    PutU16(sector, kBootHeads, volume.heads);
    PutU32(sector, kBootHiddenSectors,
           volume.hiddenSectors.value_or(static_cast<std::uint32_t>(volume.firstSector)));
    PutU32(sector, kBootTotalSectors32, small ? 0 : volume.totalSectors);
}

void EncodeFat32Fields(std::span<std::uint8_t> sector, const FatVolume& volume,
                       const VolumeLayout& layout) {
    PutU32(sector, kBootSectorsPerFat32, layout.sectorsPerFat);
    PutU32(sector, kBootRootCluster, volume.rootClusters.empty() ? 2 : volume.rootClusters[0]);
    PutU16(sector, kBootFsInfoSector, volume.fsInfoSector);
    PutU16(sector, kBootBackupBootSector, volume.backupBootSector);
}

void EncodeExtendedFields(std::span<std::uint8_t> sector, const FatVolume& volume,
                          const std::string& label) {
    auto block = sector.subspan(ExtendedBlock(volume.kind));
    PutU8(block, kExtDriveNumber, volume.driveNumber);
    PutU8(block, kExtBootSignature, 0x29);
    PutU32(block, kExtVolumeId, volume.volumeId);
    PutText(block, kExtVolumeLabel, label, 11);
    PutText(block, kExtFsType, FsTypeName(volume.kind), 8);
}

}  // namespace

void EncodeBootRecord(std::span<std::uint8_t> sector, const FatVolume& volume,
                      const VolumeLayout& layout, const std::string& label) {
    EncodeCommonFields(sector, volume, layout);
    if (volume.kind == FatKind::Fat32) {
        EncodeFat32Fields(sector, volume, layout);
    }
    EncodeExtendedFields(sector, volume, label);
    PutU16(sector, kBootSignature, 0xAA55);
}

void EncodeFsInfo(std::span<std::uint8_t> sector, std::uint32_t freeCount, std::uint32_t nextFree) {
    PutU32(sector, kFsInfoLeadSignature, 0x41615252);
    PutU32(sector, kFsInfoStructSignature, 0x61417272);
    PutU32(sector, kFsInfoFreeCount, freeCount);
    PutU32(sector, kFsInfoNextFree, nextFree);
    PutU32(sector, kFsInfoTrailSignature, 0xAA550000);
}

bool ApplyBootOverride(std::span<std::uint8_t> sector, FatKind kind,
                       const BootFieldOverride& override, std::string& error) {
    for (const NamedField& field : kNamedFields) {
        if (field.name == override.field) {
            const std::size_t at = field.offset + (field.extended ? ExtendedBlock(kind) : 0);
            PutField(sector, at, field.width, override.value);
            return true;
        }
    }
    error = "unknown boot record field '" + override.field + "'";
    return false;
}

std::vector<std::string> BootFieldNames() {
    std::vector<std::string> names;
    for (const NamedField& field : kNamedFields) {
        names.emplace_back(field.name);
    }
    return names;
}

}  // namespace brovane::imagebuilder

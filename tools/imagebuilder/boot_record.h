// FAT boot record (BIOS parameter block), the FAT32 FSInfo sector, and the
// table of named fields that damage overrides may replace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

// Offsets shared by every FAT type.
inline constexpr std::size_t kBootJump = 0;
inline constexpr std::size_t kBootOemName = 3;
inline constexpr std::size_t kBootBytesPerSector = 11;
inline constexpr std::size_t kBootSectorsPerCluster = 13;
inline constexpr std::size_t kBootReservedSectors = 14;
inline constexpr std::size_t kBootFatCount = 16;
inline constexpr std::size_t kBootRootEntryCount = 17;
inline constexpr std::size_t kBootTotalSectors16 = 19;
inline constexpr std::size_t kBootMedia = 21;
inline constexpr std::size_t kBootSectorsPerFat16 = 22;
inline constexpr std::size_t kBootSectorsPerTrack = 24;
inline constexpr std::size_t kBootHeads = 26;
inline constexpr std::size_t kBootHiddenSectors = 28;
inline constexpr std::size_t kBootTotalSectors32 = 32;
// FAT32 only.
inline constexpr std::size_t kBootSectorsPerFat32 = 36;
inline constexpr std::size_t kBootExtFlags = 40;
inline constexpr std::size_t kBootFsVersion = 42;
inline constexpr std::size_t kBootRootCluster = 44;
inline constexpr std::size_t kBootFsInfoSector = 48;
inline constexpr std::size_t kBootBackupBootSector = 50;
// The extended fields (drive number, signature 0x29, id, label, type name)
// start at 36 on FAT12/16 and at 64 on FAT32.
inline constexpr std::size_t kExtendedBpb16 = 36;
inline constexpr std::size_t kExtendedBpb32 = 64;
inline constexpr std::size_t kExtDriveNumber = 0;
inline constexpr std::size_t kExtBootSignature = 2;
inline constexpr std::size_t kExtVolumeId = 3;
inline constexpr std::size_t kExtVolumeLabel = 7;
inline constexpr std::size_t kExtFsType = 18;
inline constexpr std::size_t kBootSignature = 510;

// FSInfo sector.
inline constexpr std::size_t kFsInfoLeadSignature = 0;
inline constexpr std::size_t kFsInfoStructSignature = 484;
inline constexpr std::size_t kFsInfoFreeCount = 488;
inline constexpr std::size_t kFsInfoNextFree = 492;
inline constexpr std::size_t kFsInfoTrailSignature = 508;

// Writes the boot record of `volume` under `layout` into a zeroed sector.
void EncodeBootRecord(std::span<std::uint8_t> sector, const FatVolume& volume,
                      const VolumeLayout& layout, const std::string& label);

void EncodeFsInfo(std::span<std::uint8_t> sector, std::uint32_t freeCount, std::uint32_t nextFree);

// Replaces a named field of a written boot record; false for an unknown name.
bool ApplyBootOverride(std::span<std::uint8_t> sector, FatKind kind,
                       const BootFieldOverride& override, std::string& error);

// The names ApplyBootOverride knows, for usage texts.
std::vector<std::string> BootFieldNames();

}  // namespace brovane::imagebuilder

// Reading back images built in memory: sectors, little-endian fields, and a
// small FAT16 volume description most tests start from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imagebuilder/image_builder.h"
#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder::test {

inline std::vector<std::uint8_t> SectorAt(const SparseImage& image, std::uint64_t sector,
                                          std::size_t count = 1) {
    return image.Read(sector * kSectorBytes, count * kSectorBytes);
}

inline std::string TextAt(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                          std::size_t length) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

// A 16 MiB disk holding one FAT16 volume of 16000 sectors at sector 2048.
inline Disk Fat16Disk() {
    Disk disk;
    disk.sizeBytes = 16 * 1024 * 1024;
    disk.primaries[0] = {0x80, 0x06, 2048, 16000, {}, {}};
    FatVolume volume;
    volume.kind = FatKind::Fat16;
    volume.firstSector = 2048;
    volume.totalSectors = 16000;
    volume.sectorsPerCluster = 2;
    disk.volumes.push_back(volume);
    return disk;
}

// A 40 MiB disk without partition table holding one FAT32 volume of 70000
// sectors, 512-byte clusters, at sector 0.
inline Disk Fat32Disk() {
    Disk disk;
    disk.sizeBytes = 40 * 1024 * 1024;
    FatVolume volume;
    volume.kind = FatKind::Fat32;
    volume.totalSectors = 70000;
    volume.sectorsPerCluster = 1;
    disk.volumes.push_back(volume);
    return disk;
}

inline SparseImage Build(const Disk& disk) {
    SparseImage image(0);
    std::string error;
    EXPECT_TRUE(BuildImage(disk, image, error)) << error;
    return image;
}

inline std::string BuildError(const Disk& disk) {
    SparseImage image(0);
    std::string error;
    EXPECT_FALSE(BuildImage(disk, image, error));
    return error;
}

}  // namespace brovane::imagebuilder::test

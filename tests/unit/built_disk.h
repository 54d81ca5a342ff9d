// Disks made by the image builder, placed on the in-memory platform.
#pragma once

#include <gtest/gtest.h>

#include "imagebuilder/image_builder.h"
#include "imagebuilder/sparse_image.h"
#include "support/memory_platform.h"

namespace brovane {

// Builds the disk and copies every written page onto a new hard disk (or
// floppy) of the platform, whose BIOS geometry is the disk's. Answers the
// drive number.
inline unsigned PlaceBuiltDisk(MemoryPlatform& platform, const imagebuilder::Disk& disk,
                               bool floppy = false) {
    imagebuilder::SparseImage image(disk.sizeBytes);
    std::string error;
    EXPECT_TRUE(imagebuilder::BuildImage(disk, image, error)) << error;
    std::uint64_t sectors = disk.sizeBytes / kMemorySectorBytes;
    unsigned drive = floppy ? platform.AddFloppy(sectors) : platform.AddHardDisk(sectors);
    MemoryDisk& memory = *platform.FindDisk(drive);
    memory.heads = disk.heads;
    memory.sectorsPerTrack = disk.sectorsPerTrack;
    for (std::uint64_t offset : image.WrittenPageOffsets()) {
        PokeBytes(memory, offset, image.Read(offset, imagebuilder::SparseImage::kPageBytes));
    }
    return drive;
}

inline imagebuilder::PartitionEntry Primary(std::uint8_t type, std::uint32_t start,
                                            std::uint32_t size, std::uint8_t status = 0) {
    imagebuilder::PartitionEntry entry;
    entry.status = status;
    entry.type = type;
    entry.start = start;
    entry.size = size;
    return entry;
}

inline imagebuilder::FatVolume Volume(imagebuilder::FatKind kind, std::uint64_t first,
                                      std::uint32_t total) {
    imagebuilder::FatVolume volume;
    volume.kind = kind;
    volume.firstSector = first;
    volume.totalSectors = total;
    return volume;
}

// A 1.44 MB floppy: FAT12, one sector a cluster, 224 root entries.
inline imagebuilder::Disk FloppyDisk() {
    imagebuilder::Disk floppy;
    floppy.sizeBytes = 2880 * 512;
    floppy.heads = 2;
    floppy.sectorsPerTrack = 18;
    imagebuilder::FatVolume volume = Volume(imagebuilder::FatKind::Fat12, 0, 2880);
    volume.sectorsPerCluster = 1;
    volume.rootEntryCount = 224;
    volume.media = 0xF0;
    volume.sectorsPerTrack = 18;
    volume.heads = 2;
    floppy.volumes.push_back(volume);
    return floppy;
}

}  // namespace brovane

// Writes one FAT volume into a disk image: boot record (with FSInfo and the
// backups on FAT32), every FAT copy, directories and file data.
#pragma once

#include <string>

#include "imagebuilder/image_builder.h"

namespace brovane::imagebuilder {

bool WriteFatVolume(const FatVolume& volume, SparseImage& image, std::string& error);

}  // namespace brovane::imagebuilder

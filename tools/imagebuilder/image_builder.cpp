#include "imagebuilder/image_builder.h"

#include <utility>

#include "imagebuilder/fat_volume_writer.h"
#include "imagebuilder/partition_table.h"

namespace brovane::imagebuilder {

EntryDescription FileEntry(std::string path, std::string data, std::string longName) {
    EntryDescription item;
    item.path = std::move(path);
    item.data = std::move(data);
    item.longName = std::move(longName);
    return item;
}

EntryDescription DirectoryEntry(std::string path, std::string longName) {
    EntryDescription item;
    item.kind = EntryKind::Directory;
    item.path = std::move(path);
    item.longName = std::move(longName);
    return item;
}

EntryDescription LabelEntry(std::string label) {
    EntryDescription item;
    item.kind = EntryKind::VolumeLabel;
    item.path = "/";
    item.label = std::move(label);
    return item;
}

bool BuildImage(const Disk& disk, SparseImage& image, std::string& error) {
    image = SparseImage(disk.sizeBytes);
    if (!WritePartitionTables(disk, image, error)) {
        return false;
    }
    for (const FatVolume& volume : disk.volumes) {
        if (!WriteFatVolume(volume, image, error)) {
            return false;
        }
    }
    for (const BytePoke& poke : disk.pokes) {
        if (!image.Write(poke.offset, poke.bytes)) {
            error =
                "bytes poked at offset " + std::to_string(poke.offset) + " run past the disk's end";
            return false;
        }
    }
    if (disk.truncateBytes) {
        if (*disk.truncateBytes > image.Size()) {
            error = "the image cannot be cut to " + std::to_string(*disk.truncateBytes) +
                    " bytes: it holds only " + std::to_string(image.Size());
            return false;
        }
        image.Truncate(*disk.truncateBytes);
    }
    return true;
}

bool WriteImageFile(const Disk& disk, const std::string& path, std::string& error) {
    SparseImage image(disk.sizeBytes);
    return BuildImage(disk, image, error) && image.SaveTo(path, error);
}

}  // namespace brovane::imagebuilder

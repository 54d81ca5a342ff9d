// Makes the fuzz targets' seed inputs from disk descriptions (the image
// builder's format):
//   fuzz_seed_maker OUTPUT_FOLDER DESCRIPTION...
// A fuzz input is the start of a disk, so each seed is its image up to the
// end of the last page the builder wrote: every structure is there and the
// zeros behind it are not. A description that writes past kMaxSeedBytes is
// an error, which keeps the seeds small. OUTPUT_FOLDER/NAME.img comes from
// NAME.txt.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "imagebuilder/description_parser.h"
#include "imagebuilder/image_builder.h"

namespace {

namespace fs = std::filesystem;
namespace ib = brovane::imagebuilder;

constexpr std::uint64_t kMaxSeedBytes = 64 * 1024;

bool MakeSeed(const fs::path& description, const fs::path& output, std::string& error) {
    std::ifstream in(description, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ib::Disk disk;
    ib::SparseImage image(0);
    if (!in) {
        error = "cannot be read";
        return false;
    }
    if (!ib::ParseDescription(text.str(), disk, error) || !ib::BuildImage(disk, image, error)) {
        return false;
    }
    const std::vector<std::uint64_t> pages = image.WrittenPageOffsets();
    const std::uint64_t bytes =
        std::min(pages.empty() ? 0 : pages.back() + ib::SparseImage::kPageBytes, image.Size());
    if (bytes > kMaxSeedBytes) {
        error = "writes " + std::to_string(bytes) + " bytes, more than a seed may hold (" +
                std::to_string(kMaxSeedBytes) + ")";
        return false;
    }
    const std::vector<std::uint8_t> seed = image.Read(0, static_cast<std::size_t>(bytes));
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(seed.data()),
               static_cast<std::streamsize>(seed.size()));
    error = file ? "" : "cannot write " + output.string();
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: fuzz_seed_maker OUTPUT_FOLDER DESCRIPTION...\n";
        return 2;
    }
    std::error_code created;
    fs::create_directories(argv[1], created);
    for (int i = 2; i < argc; ++i) {
        const fs::path description = argv[i];
        std::string error;
        if (created ||
            !MakeSeed(description, fs::path(argv[1]) / description.stem().concat(".img"), error)) {
            std::cerr << "fuzz_seed_maker: " << description.string() << ": "
                      << (created ? "cannot make " + std::string(argv[1]) : error) << '\n';
            return 1;
        }
    }
    return 0;
}

// brovane-mkimage: writes a disk image from a description file, or one of
// the two demonstration images.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "imagebuilder/demo_images.h"
#include "imagebuilder/description_parser.h"

namespace {

using namespace brovane::imagebuilder;

constexpr int kUsageError = 2;

int Usage() {
    std::cerr
        << "usage: brovane-mkimage DESCRIPTION OUTPUT   (DESCRIPTION '-' reads standard input)\n"
           "       brovane-mkimage --demo-disk OUTPUT\n"
           "       brovane-mkimage --demo-floppy OUTPUT\n"
           "       brovane-mkimage --print-demo-disk | --print-demo-floppy\n";
    return kUsageError;
}

bool ReadText(const std::string& path, std::string& text) {
    std::ostringstream buffer;
    if (path == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            return false;
        }
        buffer << file.rdbuf();
    }
    text = buffer.str();
    return true;
}

int Build(std::string_view description, const std::string& output, const std::string& source) {
    Disk disk;
    std::string error;
    if (!ParseDescription(description, disk, error) || !WriteImageFile(disk, output, error)) {
        std::cerr << "brovane-mkimage: " << source << ": " << error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 2 && (first == "--print-demo-disk" || first == "--print-demo-floppy")) {
        std::cout << (first == "--print-demo-disk" ? DemoDiskDescription()
                                                   : DemoFloppyDescription());
        return 0;
    }
    if (argc != 3) {
        return Usage();
    }
    if (first == "--demo-disk") {
        return Build(DemoDiskDescription(), argv[2], "demo disk");
    }
    if (first == "--demo-floppy") {
        return Build(DemoFloppyDescription(), argv[2], "demo floppy");
    }
    std::string text;
    if (first.starts_with("--") || !ReadText(first, text)) {
        std::cerr << "brovane-mkimage: cannot read " << first << '\n';
        return first.starts_with("--") ? Usage() : 1;
    }
    return Build(text, argv[2], first);
}

// Replays kept inputs through a fuzz target without libFuzzer, so that any
// compiler's sanitizer build can run them as a test:
//   TARGET_replay PATH...
// A PATH that is a folder stands for every file in it (not below it), in
// name order. Each input's name is printed before it runs, so a crash names
// it. Fails when a PATH cannot be read or nothing at all was replayed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        if (fs::is_directory(argv[i])) {
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[i])) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(argv[i]);
        }
        inputs.insert(inputs.end(), files.begin(), files.end());
    }
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << input.string() << '\n';
            return 1;
        }
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        std::cout << "replaying " << input.string() << " (" << bytes.size() << " bytes)"
                  << std::endl;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::cout << inputs.size() << " inputs replayed\n";
    return inputs.empty() ? 1 : 0;
}

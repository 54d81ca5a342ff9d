#include "platform/platform_options.h"

#include <cstddef>
#include <string_view>
#include <utility>

namespace brovane {

namespace {

// The list an option with a path fills, or nullptr when name is not one of them.
std::vector<std::string>* PathListFor(std::string_view name, PlatformOptions& options) {
    if (name == "--disk") {
        return &options.disks;
    }
    if (name == "--floppy") {
        return &options.floppies;
    }
    return nullptr;
}

// Takes the option at args[i] and answers how many arguments it used: 0 when
// args[i] is not a platform option. A missing path sets error.
std::size_t TakeOption(const std::vector<std::string>& args, std::size_t i,
                       PlatformOptions& options, std::string& error) {
    const std::string_view arg = args[i];
    if (arg == "--disk-library") {
        options.diskLibrary = true;
        return 1;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    std::vector<std::string> journal;
    std::vector<std::string>* list = name == "--journal" ? &journal : PathListFor(name, options);
    if (list == nullptr) {
        return 0;
    }
    const bool inlinePath = equals != std::string_view::npos;
    const bool hasNext = i + 1 < args.size();
    if ((inlinePath && equals + 1 == arg.size()) || (!inlinePath && !hasNext)) {
        error = std::string(name) + " needs a path";
        return 0;
    }
    list->push_back(inlinePath ? std::string(arg.substr(equals + 1)) : args[i + 1]);
    if (list == &journal) {
        options.journal = journal.front();
    }
    return inlinePath ? 1 : 2;
}

}  // namespace

bool ExtractPlatformOptions(std::vector<std::string>& args, PlatformOptions& options,
                            std::string& error) {
    error.clear();
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size();) {
        const std::size_t used = TakeOption(args, i, options, error);
        if (!error.empty()) {
            return false;
        }
        if (used == 0) {
            rest.push_back(args[i]);
        }
        i += used == 0 ? 1 : used;
    }
    args = std::move(rest);
    return true;
}

}  // namespace brovane

// The platform's own command-line options, shared by both executables:
//   [--disk PATH]... [--floppy PATH]... [--disk-library] [--journal PATH]
#pragma once

#include <string>
#include <vector>

namespace brovane {

struct PlatformOptions {
    std::vector<std::string> disks;     // hard disk 0, 1, ... in order
    std::vector<std::string> floppies;  // removable drives A:, B:, ...
    bool diskLibrary = false;           // version test answers the disk-library platform
    std::string journal = {};           // the write journal's path; empty: the usual place
    bool explicitDevices() const { return !disks.empty() || !floppies.empty(); }
};

// The exit status of a command line the executables refuse.
inline constexpr int kExitUsage = 2;

// Takes the platform options out of args and leaves the rest in order.
// Answers false with a reason in error when an option lacks its path.
bool ExtractPlatformOptions(std::vector<std::string>& args, PlatformOptions& options,
                            std::string& error);

}  // namespace brovane

// brovane-batch [--disk PATH]... [--floppy PATH]... [--disk-library] [SCRIPT]
//
// Runs the program's core with the text front-end and reads one user action
// a line from SCRIPT, or from standard input without one.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/disk_lifecycle.h"
#include "app/session.h"
#include "batch/batch_runner.h"
#include "batch/text_screen.h"
#include "platform/platform_options.h"
#include "platform/posix_platform.h"

namespace {

int Usage(const std::string& problem) {
    std::cerr << "brovane-batch: " << problem << '\n'
              << "usage: brovane-batch [--disk PATH]... [--floppy PATH]... [--disk-library] "
                 "[SCRIPT]\n";
    return brovane::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    brovane::PlatformOptions options;
    std::string problem;
    if (!brovane::ExtractPlatformOptions(args, options, problem)) {
        return Usage(problem);
    }
    if (args.size() > 1) {
        return Usage("more than one script given");
    }
    std::ifstream file;
    if (!args.empty()) {
        file.open(args[0]);
        if (!file) {
            return Usage("cannot read script " + args[0]);
        }
    }

    brovane::PosixPlatform platform(options);
    brovane::TextScreen screen([](std::string_view line) { std::cout << line << '\n'; });
    brovane::Session session(platform, screen);
    screen.SetEvents(&session);
    brovane::InitDiskAccess(session);
    brovane::BatchRunner runner(screen, session, std::cout);
    int code = runner.RunScript(args.empty() ? std::cin : file, std::cerr);
    brovane::ReleaseDiskAccess(session);
    std::cout.flush();
    return code;
}

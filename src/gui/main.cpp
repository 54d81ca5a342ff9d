// brovane [--disk PATH]... [--floppy PATH]... [--disk-library] [--screenshot PNG]
//
// The GUI. With --screenshot it saves a picture of the main window once it
// has started and ends; message boxes are then printed and answered with
// their default instead of waiting for a person.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "gui/quorvel_app.h"
#include "platform/platform_options.h"
#include "platform/posix_platform.h"

namespace {

int Usage(const std::string& problem) {
    std::cerr << "brovane: " << problem << '\n'
              << "usage: brovane [--disk PATH]... [--floppy PATH]... [--disk-library] "
                 "[--screenshot PNG]\n";
    return brovane::kExitUsage;
}

// Takes "--screenshot PATH" out of args; false when the path is missing.
bool ExtractScreenshotOption(std::vector<std::string>& args, std::string& path) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == "--screenshot") {
            if (it + 1 == args.end()) {
                return false;
            }
            path = *(it + 1);
            args.erase(it, it + 2);
            return true;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Qt takes its own options out of argv first.
    QApplication application(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    brovane::PlatformOptions options;
    std::string problem;
    if (!brovane::ExtractPlatformOptions(args, options, problem)) {
        return Usage(problem);
    }
    std::string screenshot;
    if (!ExtractScreenshotOption(args, screenshot)) {
        return Usage("--screenshot needs a path");
    }
    if (!args.empty()) {
        return Usage("unknown argument " + args.front());
    }

    brovane::PosixPlatform platform(options);
    brovane::CQuorvelApp app(platform);
    if (!screenshot.empty()) {
        app.AnswerMessagesOnStandardError();
    }
    app.InitInstance();
    if (!screenshot.empty()) {
        bool saved = app.SaveScreenshot(QString::fromLocal8Bit(screenshot.c_str()));
        app.MainFrame()->close();
        if (!saved) {
            std::cerr << "brovane: cannot write " << screenshot << '\n';
            return 1;
        }
        return 0;
    }
    return application.exec();
}

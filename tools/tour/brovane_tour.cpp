// brovane-tour [--disk PATH]... [--floppy PATH]... [--disk-library] OUTDIR
//
// Walks the GUI as a user would, on the offscreen platform, and saves a
// screenshot of the main window at each stop: a partition table, a FAT
// grid, a directory listing and a cluster dump of a file of the demo disk.
// Message boxes are printed and answered with their default.
#include <QApplication>
#include <QDir>
#include <QSplitter>
#include <QTreeView>
#include <iostream>
#include <string>
#include <vector>

#include "gui/left_view.h"
#include "gui/main_frame.h"
#include "gui/quorvel_app.h"
#include "platform/platform_options.h"
#include "platform/posix_platform.h"
#include "screen/command_table.h"

namespace {

struct Stop {
    const char* file;
    const char* path;  // item texts joined by '/'; "#N" is the N-th child
    bool sectorClusterDumping;
};

// The demo disk's first partition is a FAT16 volume with long, nested and
// deleted names and a fragmented file.
constexpr Stop kStops[] = {
    {"partition-table.png", "Hard Disk 1", false},
    {"fat-grid.png", "Hard Disk 1/#1/FAT 1", false},
    {"directory-listing.png", "Hard Disk 1/#1/Root Directory", false},
    {"cluster-dump.png", "Hard Disk 1/#1/Root Directory/Documents/Quarterly report.txt", false},
    {"sector-dump.png", "Hard Disk 1/#1/FAT 2", true},
};

QModelIndex FindChild(QAbstractItemModel& model, const QModelIndex& parent, const QString& text) {
    if (text.startsWith('#')) {
        return model.index(text.mid(1).toInt() - 1, 0, parent);
    }
    for (int row = 0; row < model.rowCount(parent); ++row) {
        QModelIndex child = model.index(row, 0, parent);
        if (child.data().toString() == text) {
            return child;
        }
    }
    return {};
}

// Expands every item on the way, as the user's clicks would, and selects the last.
bool Visit(brovane::CLeftView& tree, const char* path) {
    QModelIndex index;
    const QStringList steps = QString::fromLatin1(path).split('/');
    for (int i = 0; i < steps.size(); ++i) {
        if (index.isValid()) {
            tree.expand(index);
            QCoreApplication::processEvents();
        }
        index = FindChild(*tree.model(), index, steps[i]);
        if (!index.isValid()) {
            std::cerr << "brovane-tour: no item " << path << '\n';
            return false;
        }
    }
    tree.scrollTo(index);
    tree.setCurrentIndex(index);
    QCoreApplication::processEvents();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    brovane::PlatformOptions options;
    std::string problem;
    if (!brovane::ExtractPlatformOptions(args, options, problem) || args.size() != 1) {
        std::cerr << "usage: brovane-tour [--disk PATH]... [--floppy PATH]... [--disk-library] "
                     "OUTDIR\n";
        return 2;
    }
    QDir out(QString::fromLocal8Bit(args[0].c_str()));
    out.mkpath(".");
    brovane::PosixPlatform platform(options);
    brovane::CQuorvelApp app(platform);
    app.AnswerMessagesOnStandardError();
    app.InitInstance();
    brovane::CMainFrame& frame = *app.MainFrame();
    frame.resize(1100, 700);
    frame.Splitter()->setSizes({330, 770});
    int failures = 0;
    for (const Stop& stop : kStops) {
        if (app.Screen().IsMenuChecked(brovane::CMD_SECTOR_DUMPING) != stop.sectorClusterDumping) {
            frame.RouteCommand(brovane::CMD_SECTOR_DUMPING);
        }
        if (!Visit(*frame.LeftView(), stop.path)) {
            ++failures;
            continue;
        }
        QString file = out.filePath(QString::fromLatin1(stop.file));
        if (!app.SaveScreenshot(file)) {
            std::cerr << "brovane-tour: cannot write " << file.toLocal8Bit().constData() << '\n';
            ++failures;
            continue;
        }
        std::cout << file.toLocal8Bit().constData() << '\n';
    }
    frame.close();
    return failures == 0 ? 0 : 1;
}

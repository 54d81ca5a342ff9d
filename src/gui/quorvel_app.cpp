#include "gui/quorvel_app.h"

#include <QApplication>
#include <QPixmap>
#include <QSettings>
#include <iostream>

#include "app/disk_lifecycle.h"
#include "gui/latin1_text.h"
#include "screen/command_table.h"

// The images are linked from a static library: register them by name.
static void InitBrovaneResources() {
    Q_INIT_RESOURCE(brovane);
}

namespace brovane {

CQuorvelApp::CQuorvelApp(Platform& platform) : session_(platform, screen_) {
    InitBrovaneResources();
}

CQuorvelApp::~CQuorvelApp() {
    if (frame_ != nullptr) {
        frame_->ReleaseDiskAccessOnce();
    }
}

void CQuorvelApp::InitInstance() {
    QCoreApplication::setOrganizationName(Latin1(kSettingsOrganisation));
    QCoreApplication::setApplicationName(Latin1(kAppTitle));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/res/brovane.xpm")));

    frame_ = std::make_unique<CMainFrame>(session_);
    screen_.Attach(frame_.get());
    screen_.SetEvents(&session_);
    // What the tree pane's set-up does: find the disks and list them.
    InitDiskAccess(session_);

    frame_->show();
    frame_->setWindowTitle(Latin1(kFrameCaption));
}

bool CQuorvelApp::SaveScreenshot(const QString& path) {
    QCoreApplication::processEvents();
    return frame_->grab().save(path, "PNG");
}

void CQuorvelApp::AnswerMessagesOnStandardError() {
    screen_.SetMessageAnswerer([](QMessageBox& box) {
        std::cerr << "message: " << box.text().toLatin1().constData() << '\n';
        return box.standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    });
}

}  // namespace brovane

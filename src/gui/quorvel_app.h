// CQuorvelApp: one run of the program on a platform. It starts up in the
// system's order (settings, frame with its panes, disk access from the tree
// pane's set-up, then the frame shown and captioned) and releases disk
// access when it ends if the frame did not already.
#pragma once

#include <QString>
#include <memory>

#include "app/session.h"
#include "gui/main_frame.h"
#include "gui/qt_screen.h"

namespace brovane {

class Platform;

class CQuorvelApp {
  public:
    // A QApplication must exist.
    explicit CQuorvelApp(Platform& platform);
    ~CQuorvelApp();
    CQuorvelApp(const CQuorvelApp&) = delete;
    CQuorvelApp& operator=(const CQuorvelApp&) = delete;

    void InitInstance();

    CMainFrame* MainFrame() const { return frame_.get(); }
    QtScreen& Screen() { return screen_; }
    Session& GetSession() { return session_; }

    // Saves a picture of the main window as PNG; false when it cannot be written.
    bool SaveScreenshot(const QString& path);
    // For runs without a person: each message box is printed on standard
    // error and answered with its default (OK, or No to a question).
    void AnswerMessagesOnStandardError();

  private:
    QtScreen screen_;
    Session session_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace brovane

// The progress of long work (a copy to an image, a search, a copy-out): the
// work runs on a thread of its own from the moment the dialog is made; the
// dialog shows how far it is (units done of all, MB/s, bad units, time
// left, and for work over files the files done and the current one), and
// Cancel sets
// the work's cancel flag. The dialog closes itself when the work has
// ended, so it is never gone while the work still runs.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "screen/long_work.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace brovane {

class CProgressDlg : public QDialog {
    Q_OBJECT

  public:
    CProgressDlg(const QString& title, const LongWork& work, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    QPushButton* CancelButton() const { return cancelButton_; }
    QLabel* DoneText() const { return doneText_; }
    QLabel* FileText() const { return fileText_; }
    bool WorkEnded() const { return ended_.load(); }

  public slots:
    void reject() override;

  private:
    void ShowProgress();

    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> bad_{0};
    std::atomic<std::uint64_t> filesDone_{0};
    std::atomic<std::uint64_t> filesTotal_{0};
    std::mutex currentLock_;
    std::string current_;  // under currentLock_
    CancelFlag cancel_{false};
    std::atomic<bool> ended_{false};
    QElapsedTimer clock_;
    QTimer poll_;
    QProgressBar* bar_;
    QLabel* doneText_;
    QLabel* rateText_;
    QLabel* badText_;
    QLabel* leftText_;
    QLabel* fileText_;
    QPushButton* cancelButton_;
    std::thread worker_;
};

}  // namespace brovane

#include "gui/progress_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace brovane {

namespace {

// How often the dialog looks at the work: well within the 100 ms in which
// Cancel must be seen to stop it.
constexpr int kPollMilliseconds = 20;
constexpr double kBytesPerUnit = 512.0;

QString TimeText(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

CProgressDlg::CProgressDlg(const QString& title, const LongWork& work, QWidget* parent)
    : QDialog(parent),
      bar_(new QProgressBar(this)),
      doneText_(new QLabel(this)),
      rateText_(new QLabel(this)),
      badText_(new QLabel(this)),
      leftText_(new QLabel(this)),
      fileText_(new QLabel(this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget : {static_cast<QWidget*>(bar_), static_cast<QWidget*>(doneText_),
                            static_cast<QWidget*>(rateText_), static_cast<QWidget*>(badText_),
                            static_cast<QWidget*>(leftText_), static_cast<QWidget*>(fileText_)}) {
        layout->addWidget(widget);
    }
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    bar_->setRange(0, 1000);
    connect(cancelButton_, &QPushButton::clicked, this, &CProgressDlg::reject);
    connect(&poll_, &QTimer::timeout, this, &CProgressDlg::ShowProgress);
    ShowProgress();
    clock_.start();
    poll_.start(kPollMilliseconds);
    worker_ = std::thread([this, work] {
        work(
            [this](const WorkProgress& progress) {
                done_ = progress.done;
                total_ = progress.total;
                bad_ = progress.bad;
                filesDone_ = progress.filesDone;
                filesTotal_ = progress.filesTotal;
                const std::lock_guard lock(currentLock_);
                current_ = progress.current;
            },
            cancel_);
        ended_ = true;
    });
}

CProgressDlg::~CProgressDlg() {
    worker_.join();
}

// Cancel, Escape and the close button ask the work to stop; the dialog
// stays until it has.
void CProgressDlg::reject() {
    cancel_ = true;
    cancelButton_->setEnabled(false);
    cancelButton_->setText(tr("Cancelling..."));
}

void CProgressDlg::ShowProgress() {
    if (ended_.load()) {
        poll_.stop();
        done(cancel_.load() ? QDialog::Rejected : QDialog::Accepted);
        return;
    }
    const std::uint64_t done = done_.load();
    const std::uint64_t total = total_.load();
    const std::uint64_t bad = bad_.load();
    bar_->setValue(total == 0 ? 0 : static_cast<int>(done * 1000 / total));
    doneText_->setText(tr("Sectors done: %1 of %2").arg(done).arg(total));
    const double seconds = static_cast<double>(clock_.elapsed()) / 1000.0;
    const double rate = seconds > 0 ? static_cast<double>(done) * kBytesPerUnit / seconds : 0;
    rateText_->setText(tr("%1 MB/s").arg(rate / 1e6, 0, 'f', 1));
    badText_->setText(tr("Bad sectors: %1").arg(bad));
    const double left = rate > 0 ? static_cast<double>(total - done) * kBytesPerUnit / rate : 0;
    leftText_->setText(tr("Time left: %1").arg(done == 0 ? QStringLiteral("-") : TimeText(left)));
    fileText_->setVisible(filesTotal_.load() != 0);
    const std::lock_guard lock(currentLock_);
    fileText_->setText(
        tr("Files done: %1 of %2, now %3")
            .arg(filesDone_.load())
            .arg(filesTotal_.load())
            .arg(QString::fromUtf8(current_.data(), static_cast<qsizetype>(current_.size()))));
}

}  // namespace brovane

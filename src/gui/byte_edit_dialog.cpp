#include "gui/byte_edit_dialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "gui/latin1_text.h"

namespace brovane {

namespace {

// Dialog units of an 8-point dialog font: a quarter of its average
// character width across, an eighth of its height down.
constexpr double kUnitX = 1.5;
constexpr double kUnitY = 1.625;

QRect DialogUnits(int x, int y, int width, int height) {
    return QRect(static_cast<int>(x * kUnitX), static_cast<int>(y * kUnitY),
                 static_cast<int>(width * kUnitX), static_cast<int>(height * kUnitY));
}

// Left edges of the boxes of bytes 0-7 and 8-15, and their rows.
constexpr std::array<int, 8> kFirstRowX{7, 28, 49, 70, 90, 110, 130, 150};
constexpr std::array<int, 8> kSecondRowX{7, 29, 49, 71, 91, 111, 131, 151};
constexpr int kFirstRowY = 16;
constexpr int kSecondRowY = 33;

}  // namespace

CByteEditDlg::CByteEditDlg(const EditBytes& bytes, QWidget* parent)
    : QDialog(parent),
      bytes_(bytes),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(Latin1(kByteDialogTitle));
    setFixedSize(DialogUnits(0, 0, 175, 77).size());
    ok_->setGeometry(DialogUnits(35, 56, 50, 14));
    ok_->setDefault(true);
    cancel_->setGeometry(DialogUnits(87, 56, 50, 14));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* previous = cancel_;
    setTabOrder(ok_, cancel_);
    for (std::size_t n = 0; n < boxes_.size(); ++n) {
        QLineEdit* box = new QLineEdit(Latin1(ByteBoxText(bytes[n])), this);
        box->setMaxLength(kByteBoxLimit);
        box->setObjectName(QStringLiteral("box%1").arg(1000 + n));
        int x = n < 8 ? kFirstRowX[n] : kSecondRowX[n - 8];
        box->setGeometry(DialogUnits(x, n < 8 ? kFirstRowY : kSecondRowY, 18, 12));
        setTabOrder(previous, box);
        previous = box;
        boxes_[n] = box;
    }
    ok_->setFocus();
}

void CByteEditDlg::accept() {
    for (std::size_t n = 0; n < boxes_.size(); ++n) {
        ParseByteBox(boxes_[n]->text().toLatin1().toStdString(), bytes_[n]);
    }
    QDialog::accept();
}

}  // namespace brovane

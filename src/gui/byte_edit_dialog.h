// CByteEditDlg: "Enter Bytes to Change", sixteen two-character boxes in two
// rows holding a dump row's bytes in hexadecimal, OK (the default) and
// Cancel, laid out as the dialog template gives it in dialog units.
#pragma once

#include <QDialog>
#include <array>

#include "screen/byte_boxes.h"

class QLineEdit;
class QPushButton;

namespace brovane {

class CByteEditDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CByteEditDlg(const EditBytes& bytes, QWidget* parent = nullptr);

    // After OK: the boxes parsed back over the bytes the dialog opened with.
    const EditBytes& Bytes() const { return bytes_; }
    QLineEdit* Box(int n) const { return boxes_[static_cast<std::size_t>(n)]; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

  protected:
    void accept() override;

  private:
    EditBytes bytes_;
    std::array<QLineEdit*, 16> boxes_{};
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace brovane

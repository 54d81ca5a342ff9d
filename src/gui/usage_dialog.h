// The usage document in a window of its own: its text, read-only, and OK.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace brovane {

class CUsageDlg : public QDialog {
    Q_OBJECT

  public:
    CUsageDlg(const QString& text, QWidget* parent = nullptr);
    QPlainTextEdit* Text() const { return text_; }

  private:
    QPlainTextEdit* text_;
};

}  // namespace brovane

// CFindDlg: the Find dialog. A line for the pattern, read as hexadecimal
// bytes or as text, and whether text is matched with regard to case.
#pragma once

#include <QDialog>

#include "screen/search_request.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace brovane {

class CFindDlg : public QDialog {
    Q_OBJECT

  public:
    // Opens with the request made last.
    CFindDlg(const QString& title, const SearchRequest& last, QWidget* parent = nullptr);

    // What the dialog holds; text is the line as typed.
    QString Text() const;
    SearchRequest Request() const;
    QLineEdit* PatternLine() const { return pattern_; }
    QRadioButton* HexadecimalChoice() const { return hexadecimal_; }
    QCheckBox* MatchCaseChoice() const { return matchCase_; }

  private:
    QLineEdit* pattern_;
    QRadioButton* hexadecimal_;
    QRadioButton* text_;
    QCheckBox* matchCase_;
};

}  // namespace brovane

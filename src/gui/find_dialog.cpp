#include "gui/find_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/latin1_text.h"

namespace brovane {

CFindDlg::CFindDlg(const QString& title, const SearchRequest& last, QWidget* parent)
    : QDialog(parent),
      pattern_(new QLineEdit(Latin1(last.text), this)),
      hexadecimal_(new QRadioButton(tr("&Hexadecimal bytes (55 AA or 55aa)"), this)),
      text_(new QRadioButton(tr("&Text (Latin-1)"), this)),
      matchCase_(new QCheckBox(tr("Match &case"), this)) {
    setWindowTitle(title);
    hexadecimal_->setChecked(last.hexadecimal);
    text_->setChecked(!last.hexadecimal);
    matchCase_->setChecked(last.matchCase);
    matchCase_->setEnabled(!last.hexadecimal);
    connect(text_, &QRadioButton::toggled, matchCase_, &QCheckBox::setEnabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(tr("Find &what:"), pattern_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hexadecimal_);
    layout->addWidget(text_);
    layout->addWidget(matchCase_);
    layout->addWidget(buttons);
    pattern_->selectAll();
}

QString CFindDlg::Text() const {
    return pattern_->text();
}

SearchRequest CFindDlg::Request() const {
    return SearchRequest{pattern_->text().toLatin1().toStdString(), hexadecimal_->isChecked(),
                         matchCase_->isChecked()};
}

}  // namespace brovane

#include "gui/usage_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "gui/latin1_text.h"
#include "screen/texts.h"

namespace brovane {

CUsageDlg::CUsageDlg(const QString& text, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(text, this)) {
    setWindowTitle(Latin1(kUsageTitle));
    text_->setReadOnly(true);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(640, 480);
}

}  // namespace brovane

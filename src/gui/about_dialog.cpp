#include "gui/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/latin1_text.h"
#include "screen/command_table.h"

namespace brovane {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About ") + Latin1(kAppTitle));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/res/brovane.xpm")));
    auto* notice = new QLabel(
        Latin1(kAppTitle) + QStringLiteral(" 1.0, a disk sector editor for data recovery"), this);
    notice->setObjectName(QStringLiteral("notice"));
    auto* contact =
        new QLabel(QStringLiteral("Questions and reports go to the Brovane maintainers."), this);
    contact->setObjectName(QStringLiteral("contact"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(notice, 0, 1);
    layout->addWidget(contact, 1, 1);
    layout->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace brovane

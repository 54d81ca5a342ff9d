// CAboutDlg: the About box, with the application icon, a product notice,
// a contact line and OK, which closes it.
#pragma once

#include <QDialog>

namespace brovane {

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace brovane

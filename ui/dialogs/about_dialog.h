#pragma once

#include <QDialog>

// Help > About Tervane...: the program icon, the version line and OK.
class CAboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

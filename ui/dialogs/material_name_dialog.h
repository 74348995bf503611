#pragma once

#include <QString>

#include "ui/dialogs/settings_dialog.h"

class QLineEdit;

// "Material Name": the name of a new or renamed material. Any text is accepted, the empty text
// included; names already in use are not checked.
class CMaterialNameDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // Exchanged with the edit; holds "New" unless the caller put another name in. Cancel leaves it as
    // it was opened with.
    QString name = QStringLiteral("New");

    explicit CMaterialNameDialog(QWidget* parent = nullptr);

    void updateControls() override;
    bool validateAndStore() override;

  private:
    QLineEdit* nameEdit_ = nullptr;
};

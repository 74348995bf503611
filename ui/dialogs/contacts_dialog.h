#pragma once

#include "ui/dialogs/settings_dialog.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;

namespace tervane {
class Document;
}

// Layers > Contacts...: the kind and barrier height of the left and right contacts.
class CContactsDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // Contact kinds as the radio groups know them; -1 when neither button is selected.
    static constexpr int neutralType = 0;
    static constexpr int fixedType = 1;

    // Exchanged with the controls, in this order.
    int leftType = -1;
    double leftBarrier = 0;  // eV
    double rightBarrier = 0; // eV
    int rightType = -1;

    explicit CContactsDialog(QWidget* parent = nullptr);

    // The fields from the grid's contacts: a Neutral contact shows a barrier of 0, a Fixed one its
    // barrier, any other kind neither button and 0.
    static void fromDocument(const tervane::Document& document, CContactsDialog& dialog);
    // The fields back into the grid: a Fixed side takes the entered barrier; any other side becomes
    // Neutral and keeps the barrier it had.
    static void toDocument(const CContactsDialog& dialog, tervane::Document& document);

    void updateControls() override;
    // Fields from controls, in field order; the first field that fails is refused and nothing is
    // stored.
    bool validateAndStore() override;

  private:
    struct Side {
        QGroupBox* group = nullptr;
        QRadioButton* neutral = nullptr;
        QRadioButton* fixed = nullptr;
        QButtonGroup* buttons = nullptr;
        NumberEdit* barrierEdit = nullptr;
    };

    Side createSide(const QString& caption, const QString& prefix);
    static void showSide(const Side& side, int type, double barrier);

    Side left_;
    Side right_;
};

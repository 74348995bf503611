#pragma once

#include "ui/dialogs/settings_dialog.h"

// "Where?": the index of the layer that Layers > Insert puts the new layer in front of.
// Control names: "positionEdit", "okButton", "cancelButton".
class CWhereDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // Accepted range, inclusive.
    static constexpr int positionMinimum = 0;
    static constexpr int positionMaximum = 1000000;

    int position = 0; // layer index, 0 at the left contact

    explicit CWhereDialog(QWidget* parent = nullptr);

    void updateControls() override;
    // A position that is not an integer in range is refused (validation message, focus).
    bool validateAndStore() override;

  private:
    NumberEdit* positionEdit_ = nullptr;
};

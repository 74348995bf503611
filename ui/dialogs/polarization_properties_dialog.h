#pragma once

#include <vector>

#include "model/polarization.h"
#include "ui/dialogs/settings_dialog.h"

// "Polarization Properties": the six polarization laws of one material, each edited through "Enter
// Quadratic" (run through `dialogRunner`) and shown in its text form beside its button.
class CPolarizationPropertiesDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // The dialog's own copy of the six laws; the substrate values inside are not used.
    tervane::Polarization polarization;

    explicit CPolarizationPropertiesDialog(QWidget* parent = nullptr);

    // The six texts from `polarization`.
    void updateControls() override;

  private:
    struct LawRow : LawControls {
        tervane::Quadratic tervane::Polarization::*law = nullptr;
    };

    void editLawOf(const LawRow& row);

    std::vector<LawRow> rows_;
};

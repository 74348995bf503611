#pragma once

#include "ui/dialogs/settings_dialog.h"

class QCheckBox;
class QGroupBox;

class CTervaneDoc;

// View > Charge View Properties...: the density axis of the charge view.
class CChargeViewPropertiesDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // Exchanged with the controls, in this order.
    double lowerLimit = 0; // cm^-3
    double upperLimit = 0; // cm^-3
    bool logScale = false;
    bool autoScale = false;

    explicit CChargeViewPropertiesDialog(QWidget* parent = nullptr);

    // The document's axis settings, its limits converted from m^-3 to cm^-3.
    static void fromDocument(const CTervaneDoc& document, CChargeViewPropertiesDialog& dialog);
    // Both switches are stored; the limits (back in m^-3) only with auto scale off, since auto scale
    // finds its own limits from the solution.
    static void toDocument(const CChargeViewPropertiesDialog& dialog, CTervaneDoc& document);

    void updateControls() override;
    bool validateAndStore() override;

  private:
    QCheckBox* logScaleCheck_ = nullptr;
    QCheckBox* autoScaleCheck_ = nullptr;
    QGroupBox* scaleGroup_ = nullptr;
    NumberEdit* upperLimitEdit_ = nullptr;
    NumberEdit* lowerLimitEdit_ = nullptr;
};

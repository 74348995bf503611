#pragma once

#include "ui/dialogs/settings_dialog.h"

namespace tervane {
class Document;
}

// Setup > Temperature...: the lattice temperature, the default temperature of layers created later.
class CTemperatureDialog : public SettingsDialog {
    Q_OBJECT

  public:
    static constexpr double temperatureMinimum = 0.0;     // K
    static constexpr double temperatureMaximum = 10000.0; // K

    double temperature = 0; // K

    explicit CTemperatureDialog(QWidget* parent = nullptr);

    static void fromDocument(const tervane::Document& document, CTemperatureDialog& dialog);
    static void toDocument(const CTemperatureDialog& dialog, tervane::Document& document);

    void updateControls() override;
    bool validateAndStore() override;

  private:
    NumberEdit* temperatureEdit_ = nullptr;
};

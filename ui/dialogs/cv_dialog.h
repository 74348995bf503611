#pragma once

#include "ui/dialogs/settings_dialog.h"

// Layers > CV Profile...: the bias range of the C-V sweep, shifts of the left barrier in V.
class CCvDialog : public SettingsDialog {
    Q_OBJECT

  public:
    double start = 0.0; // V
    double stop = 10.0; // V
    double step = 0.1;  // V

    explicit CCvDialog(QWidget* parent = nullptr);

    // Whether a sweep from `start` to `stop` in steps of `step` comes to an end. A Step of 0 is refused
    // even when Start lies beyond Stop: it also divides by zero in the capacitance.
    static bool sweepEnds(double start, double stop, double step);

    void updateControls() override;
    // Start, Stop and Step must be numbers; a Step with which the sweep would never end is refused on
    // the Step field.
    bool validateAndStore() override;

  private:
    NumberEdit* startEdit_ = nullptr;
    NumberEdit* stopEdit_ = nullptr;
    NumberEdit* stepEdit_ = nullptr;
};

#pragma once

#include "ui/dialogs/settings_dialog.h"

namespace tervane {
class Document;
}

// Setup > Solver Properties...: iteration limits and damping of the solve.
class CSolverPropertiesDialog : public SettingsDialog {
    Q_OBJECT

public:
    // Accepted ranges, inclusive.
    static constexpr double dampingShownMinimum = 0.0;
    static constexpr double dampingShownMaximum = 1.0;
    static constexpr int poissonIterationsMaximum = 2000;
    static constexpr int schroedingerIterationsMaximum = 500;

    // Exchanged with the controls and validated in this order (the screen shows them the other way up).
    double dampingShown = 0;  // 1 - the document's damping
    int poissonIterations = 0;
    int schroedingerIterations = 0;

    explicit CSolverPropertiesDialog(QWidget* parent = nullptr);

    static void fromDocument(const tervane::Document& document, CSolverPropertiesDialog& dialog);
    static void toDocument(const CSolverPropertiesDialog& dialog, tervane::Document& document);

    void updateControls() override;
    bool validateAndStore() override;

private:
    NumberEdit* poissonIterationsEdit_ = nullptr;
    NumberEdit* schroedingerIterationsEdit_ = nullptr;
    NumberEdit* dampingEdit_ = nullptr;
};

#pragma once

#include "ui/dialogs/settings_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tervane {
class Document;
}

// Setup > Solver Properties...: iteration limits and damping of the solve, how the Schroedinger passes
// are made to agree with the potential, the depth range of the bound states, and where the eigenstate
// files and the C-V profile are written.
class CSolverPropertiesDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // Accepted ranges, inclusive.
    static constexpr double dampingShownMinimum = 0.0;
    static constexpr double dampingShownMaximum = 1.0;
    static constexpr int poissonIterationsMaximum = 2000;
    static constexpr int schroedingerIterationsMaximum = 500;

    // Exchanged with the controls and validated in this order (the screen shows them the other way up).
    double dampingShown = 0; // 1 - the document's damping
    int poissonIterations = 0;
    int schroedingerIterations = 0;
    bool accelerated = false;     // the accelerated self-consistency, else alternating passes
    bool quantumRegion = false;   // bound states only between the two depths
    double quantumFrom = 0.0;     // nm
    double quantumTo = 0.0;       // nm
    bool eigenstateFiles = false; // write the last pass's states after every solve
    QString outputFolder;         // for the eigenstate files and the C-V profile; empty: beside the document

    explicit CSolverPropertiesDialog(QWidget* parent = nullptr);

    static void fromDocument(const tervane::Document& document, CSolverPropertiesDialog& dialog);
    static void toDocument(const CSolverPropertiesDialog& dialog, tervane::Document& document);

    void updateControls() override;
    bool validateAndStore() override;

  private:
    NumberEdit* poissonIterationsEdit_ = nullptr;
    NumberEdit* schroedingerIterationsEdit_ = nullptr;
    NumberEdit* dampingEdit_ = nullptr;
    QComboBox* selfConsistencyCombo_ = nullptr;
    QCheckBox* quantumRegionCheck_ = nullptr;
    NumberEdit* quantumFromEdit_ = nullptr;
    NumberEdit* quantumToEdit_ = nullptr;
    QCheckBox* eigenstateFilesCheck_ = nullptr;
    QLineEdit* outputFolderEdit_ = nullptr;
};

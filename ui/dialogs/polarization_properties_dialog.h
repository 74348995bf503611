#pragma once

#include <QDialog>

#include <vector>

#include "model/polarization.h"
#include "ui/materials_editing.h"

class QLabel;
class QPushButton;
class QShowEvent;

// "Polarization Properties": the six polarization laws of one material, each edited through "Enter
// Quadratic" and shown in its text form beside its button.
class CPolarizationPropertiesDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog's own copy of the six laws; the substrate values inside are not used.
    tervane::Polarization polarization;
    // Runs "Enter Quadratic"; empty means exec().
    ExecHook execHook;

    explicit CPolarizationPropertiesDialog(QWidget* parent = nullptr);

    // The six texts from `polarization`.
    void updateControls();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct LawRow {
        tervane::Quadratic tervane::Polarization::*law = nullptr;
        QPushButton* button = nullptr;
        QLabel* text = nullptr;
    };

    void editLawOf(const LawRow& row);

    std::vector<LawRow> rows_;
};

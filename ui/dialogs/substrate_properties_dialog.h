#pragma once

#include <QString>

#include <vector>

#include "model/material.h"
#include "ui/dialogs/settings_dialog.h"

class QComboBox;

namespace tervane {
class Document;
}

// "Substrate Properties": the substrate material and composition. The lattice constant and the
// spontaneous polarization of the substrate are recomputed from the chosen material's laws whenever a
// material is picked and whenever the composition field loses the focus; typing alone recomputes
// nothing, and with no material chosen nothing is recomputed.
class CSubstratePropertiesDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // A copy of the document's materials; the material box lists them sorted, each entry tied to its
    // index here.
    std::vector<tervane::Material> materials;
    QString substrateMaterial;
    double substrateX = 0.0;
    double substrateA = 0.0;   // Angstrom
    double substratePsp = 0.0; // C/m^2

    explicit CSubstratePropertiesDialog(QWidget* parent = nullptr);

    static void fromDocument(const tervane::Document& document, CSubstratePropertiesDialog& dialog);
    static void toDocument(const CSubstratePropertiesDialog& dialog, tervane::Document& document);

    // Fills the material box from `materials`, choosing the first entry that begins with
    // `substrateMaterial` (case ignored) or none, and shows `substrateX`.
    void updateControls() override;
    // Reads the composition; refused with the validation message when it is not a number. A
    // composition typed but not yet taken by a recomputation is taken now, so that the values stored
    // always belong together.
    bool validateAndStore() override;

    // Index in `materials` of the chosen entry, -1 for none.
    int chosenMaterial() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Takes the chosen material's name, reads the composition (keeping the previous one when the field
    // is refused) and evaluates a and Psp there.
    void recompute();

    QComboBox* materialBox_ = nullptr;
    NumberEdit* compositionEdit_ = nullptr;
    bool recomputing_ = false;
};

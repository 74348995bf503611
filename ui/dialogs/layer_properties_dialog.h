#pragma once

#include <QString>
#include <QStringList>

#include "model/quadratic.h"
#include "ui/dialogs/settings_dialog.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tervane {
class Document;
class Layer;
} // namespace tervane

// "Layer Properties": every value of one layer in display units (lengths in Angstrom, densities in
// cm^-3), the material chosen from the document's materials, and the five laws across the layer,
// each edited through "Enter Quadratic". Closes with Accepted, Rejected or `DeleteLayer`.
//
// Control names: "thicknessEdit", "dxEdit", "materialBox", "compositionButton"/"compositionText",
// "NdEdit", "relaxedCheck", "NaEdit", "strainFactorEdit", "NddEdit", "NdaEdit", "holesCheck",
// "EfnButton"/"EfnText", "EfpButton"/"EfpText", "TnButton"/"TnText", "TpButton"/"TpText", "okButton",
// "cancelButton", "deleteButton".
class CLayerPropertiesDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // The result of the "Delete" button.
    static constexpr int DeleteLayer = 13364;

    static constexpr double strainFactorMinimum = 0.0;
    static constexpr double strainFactorMaximum = 1.0;

    // Exchanged with the controls and validated in this order.
    double dx = 0;        // Angstrom
    double thickness = 0; // Angstrom
    double Nd = 0;        // cm^-3
    double Na = 0;        // cm^-3
    QString material;     // the selected entry's text; empty when nothing is selected
    bool relaxed = false;
    bool holes = true;
    double strainFactor = 0; // 0 to 1
    double Nda = 0;          // cm^-3
    double Ndd = 0;          // cm^-3

    // Edited only through the law buttons; functions of the relative depth in the layer.
    tervane::Quadratic composition;
    tervane::Quadratic Efn; // eV
    tervane::Quadratic Efp; // eV
    tervane::Quadratic Tn;  // K
    tervane::Quadratic Tp;  // K

    bool showDelete = false;
    // Offered in the material box, which lists them sorted alphabetically (letter case ignored).
    QStringList materialNames;

    explicit CLayerPropertiesDialog(QWidget* parent = nullptr);

    // The values for a layer about to be created: 0 Angstrom thick, dx 10 Angstrom, no doping, no
    // material, holes counted, Tn = Tp = the document's temperature, no Delete button.
    static void newLayer(const tervane::Document& document, CLayerPropertiesDialog& dialog);
    // The values of an existing layer (converted to display units), with the Delete button.
    static void fromLayer(const tervane::Layer& layer, CLayerPropertiesDialog& dialog);
    // The names of the document's materials, in list order.
    static void setMaterials(const tervane::Document& document, CLayerPropertiesDialog& dialog);
    // The fields into `layer`, converted to SI. `spare` is not the dialog's and is left as it is.
    static void toLayer(const CLayerPropertiesDialog& dialog, tervane::Layer& layer);

    // c, b and a with at least three decimals (layerLawText): the constant 300 reads
    // 0.000 x^2+0.000 x+300.000.
    static QString lawText(const tervane::Quadratic& law);

    // Controls from fields: the material box is refilled from `materialNames` and the entry equal to
    // `material` (letter case ignored) is selected, or none; the law texts are reformatted.
    void updateControls() override;
    // Fields from controls, in field order. Every field that reads is stored; the first one that
    // does not (a number field that does not parse, a strain factor outside 0 to 1) is refused with
    // its validation message and focus, and false is returned.
    bool validateAndStore() override;

  private:
    // A law button: the controls are taken first so that typed entries survive the refresh.
    void editLaw(tervane::Quadratic& law);

    NumberEdit* thicknessEdit_ = nullptr;
    NumberEdit* dxEdit_ = nullptr;
    QComboBox* materialBox_ = nullptr;
    NumberEdit* NdEdit_ = nullptr;
    QCheckBox* relaxedCheck_ = nullptr;
    NumberEdit* NaEdit_ = nullptr;
    NumberEdit* strainFactorEdit_ = nullptr;
    NumberEdit* NddEdit_ = nullptr;
    NumberEdit* NdaEdit_ = nullptr;
    QCheckBox* holesCheck_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    LawControls compositionControls_;
    LawControls EfnControls_;
    LawControls EfpControls_;
    LawControls TnControls_;
    LawControls TpControls_;
};

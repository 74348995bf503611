#include "ui/dialogs/layer_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <limits>
#include <utility>

#include "engine/document.h"
#include "model/constants.h"
#include "model/layer.h"
#include "ui/dialogs/enter_quadratic_dialog.h"
#include "ui/dialogs/law_text.h"
#include "ui/dialogs/material_lists.h"
#include "ui/dialogs/number_edit.h"

namespace {

using Dialog = CLayerPropertiesDialog;
using tervane::Layer;
using tervane::Quadratic;

const QString angstrom = QStringLiteral("Angstrom");
const QString perCubicCm = QStringLiteral("cm^-3");

// What a number typed in display units is stored as.
std::function<double(double)> storedAs(double storedPerShown)
{
    return [storedPerShown](double shown) { return shown * storedPerShown; };
}

// The numbers shown in other units than the layer holds them in.
const struct {
    double Dialog::*shown;
    double Layer::*stored;
    double toShown;  // display units per SI unit
    double toStored; // SI units per display unit
} converted[] = {
    {&Dialog::thickness, &Layer::thickness, tervane::angstromPerMetre, tervane::metresPerAngstrom},
    {&Dialog::dx, &Layer::dx, tervane::angstromPerMetre, tervane::metresPerAngstrom},
    {&Dialog::Nd, &Layer::Nd, tervane::perCubicCmPerPerCubicMetre, tervane::perCubicMetrePerPerCubicCm},
    {&Dialog::Na, &Layer::Na, tervane::perCubicCmPerPerCubicMetre, tervane::perCubicMetrePerPerCubicCm},
    {&Dialog::Ndd, &Layer::Ndd, tervane::perCubicCmPerPerCubicMetre, tervane::perCubicMetrePerPerCubicCm},
    {&Dialog::Nda, &Layer::Nda, tervane::perCubicCmPerPerCubicMetre, tervane::perCubicMetrePerPerCubicCm},
};

const std::pair<Quadratic Dialog::*, Quadratic Layer::*> laws[] = {
    {&Dialog::composition, &Layer::composition},
    {&Dialog::Efn, &Layer::Efn},
    {&Dialog::Efp, &Layer::Efp},
    {&Dialog::Tn, &Layer::Tn},
    {&Dialog::Tp, &Layer::Tp},
};

} // namespace

CLayerPropertiesDialog::CLayerPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Layer Properties"), parent)
{
    auto* grid = new QGridLayout;
    const auto numberRow = [this, grid](const QString& caption, const char* name, int row,
                                        const QString& unit) {
        NumberEdit* edit = addNumberRow(grid, row, caption, QString::fromLatin1(name));
        edit->setToolTip(unit);
        return edit;
    };
    const auto lawRow = [this, grid](const QString& caption, const QString& prefix, int row,
                                     tervane::Quadratic& law) {
        const LawControls controls = makeLawControls(this, caption, prefix);
        connect(controls.button, &QPushButton::clicked, this, [this, &law] { editLaw(law); });
        grid->addWidget(controls.button, row, 0);
        grid->addWidget(controls.text, row, 1, 1, 3);
        return controls;
    };

    thicknessEdit_ = numberRow(QStringLiteral("Thickness (Å):"), "thicknessEdit", 0, angstrom);
    dxEdit_ = numberRow(QStringLiteral("dx (Å):"), "dxEdit", 1, angstrom);

    auto* materialLabel = new QLabel(QStringLiteral("Material:"), this);
    materialBox_ = new QComboBox(this);
    materialBox_->setObjectName(QStringLiteral("materialBox"));
    materialBox_->setEditable(false);
    materialLabel->setBuddy(materialBox_);
    grid->addWidget(materialLabel, 2, 0);
    grid->addWidget(materialBox_, 2, 1);

    compositionControls_ =
        lawRow(QStringLiteral("Composition"), QStringLiteral("composition"), 3, composition);

    NdEdit_ = numberRow(QStringLiteral("Nd (cm⁻³):"), "NdEdit", 4, perCubicCm);
    relaxedCheck_ = new QCheckBox(QStringLiteral("Relaxed"), this);
    relaxedCheck_->setObjectName(QStringLiteral("relaxedCheck"));
    grid->addWidget(relaxedCheck_, 4, 2, 1, 2);

    NaEdit_ = numberRow(QStringLiteral("Na (cm⁻³):"), "NaEdit", 5, perCubicCm);
    // The strain factor sits under "Relaxed", which it belongs to.
    strainFactorEdit_ =
        addNumberRow(grid, 5, QStringLiteral("Strain factor:"), QStringLiteral("strainFactorEdit"), 2, 3);
    strainFactorEdit_->setToolTip(QStringLiteral("0 to 1"));

    NddEdit_ = numberRow(QStringLiteral("Ndd (cm⁻³):"), "NddEdit", 6, perCubicCm);
    NdaEdit_ = numberRow(QStringLiteral("Nda (cm⁻³):"), "NdaEdit", 7, perCubicCm);

    holesCheck_ = new QCheckBox(QStringLiteral("Holes"), this);
    holesCheck_->setObjectName(QStringLiteral("holesCheck"));
    grid->addWidget(holesCheck_, 8, 0, 1, 2);

    EfnControls_ = lawRow(QStringLiteral("Efn (eV)"), QStringLiteral("Efn"), 9, Efn);
    EfpControls_ = lawRow(QStringLiteral("Efp (eV)"), QStringLiteral("Efp"), 10, Efp);
    TnControls_ = lawRow(QStringLiteral("Tn (K)"), QStringLiteral("Tn"), 11, Tn);
    TpControls_ = lawRow(QStringLiteral("Tp (K)"), QStringLiteral("Tp"), 12, Tp);

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAutoDefault(false);
    deleteButton_ = new QPushButton(QStringLiteral("Delete"), this);
    deleteButton_->setObjectName(QStringLiteral("deleteButton"));
    deleteButton_->setAutoDefault(false);
    connect(okButton, &QPushButton::clicked, this, &CLayerPropertiesDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CLayerPropertiesDialog::reject);
    connect(deleteButton_, &QPushButton::clicked, this, [this] { done(DeleteLayer); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(deleteButton_);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
}

void CLayerPropertiesDialog::newLayer(const tervane::Document& document, CLayerPropertiesDialog& dialog)
{
    dialog.thickness = 0.0;
    dialog.dx = 10.0;
    dialog.Nd = dialog.Na = dialog.Ndd = dialog.Nda = 0.0;
    dialog.material.clear();
    dialog.relaxed = false;
    dialog.strainFactor = 0.0;
    dialog.holes = true;
    dialog.composition = dialog.Efn = dialog.Efp = tervane::Quadratic();
    dialog.Tn = dialog.Tp = tervane::Quadratic(document.temperature, 0.0, 0.0);
    dialog.showDelete = false;
}

void CLayerPropertiesDialog::fromLayer(const tervane::Layer& layer, CLayerPropertiesDialog& dialog)
{
    for (const auto& number : converted)
        dialog.*number.shown = layer.*number.stored * number.toShown;
    for (const auto& [shown, stored] : laws)
        dialog.*shown = layer.*stored;
    dialog.material = QString::fromStdString(layer.material);
    dialog.relaxed = layer.relaxed;
    dialog.strainFactor = layer.strainFactor;
    dialog.holes = layer.holes;
    dialog.showDelete = true;
}

void CLayerPropertiesDialog::setMaterials(const tervane::Document& document, CLayerPropertiesDialog& dialog)
{
    dialog.materialNames = ::materialNames(document.materials);
}

void CLayerPropertiesDialog::toLayer(const CLayerPropertiesDialog& dialog, tervane::Layer& layer)
{
    for (const auto& number : converted)
        layer.*number.stored = dialog.*number.shown * number.toStored;
    for (const auto& [shown, stored] : laws)
        layer.*stored = dialog.*shown;
    layer.material = dialog.material.toStdString();
    layer.relaxed = dialog.relaxed;
    layer.holes = dialog.holes;
    layer.strainFactor = dialog.strainFactor;
}

QString CLayerPropertiesDialog::lawText(const tervane::Quadratic& law)
{
    return layerLawText(law);
}

void CLayerPropertiesDialog::updateControls()
{
    const auto lengths = storedAs(tervane::metresPerAngstrom);
    const auto densities = storedAs(tervane::perCubicMetrePerPerCubicCm);
    dxEdit_->setNumber(dx, lengths);
    thicknessEdit_->setNumber(thickness, lengths);
    NdEdit_->setNumber(Nd, densities);
    NaEdit_->setNumber(Na, densities);
    relaxedCheck_->setChecked(relaxed);
    holesCheck_->setChecked(holes);
    strainFactorEdit_->setNumber(strainFactor);
    NdaEdit_->setNumber(Nda, densities);
    NddEdit_->setNumber(Ndd, densities);

    const QSignalBlocker blocker(materialBox_);
    fillMaterialBox(*materialBox_, materialNames, sortedOrder(materialNames));
    // Exact text, letter case ignored, first match in the box's order; with none, no selection.
    materialBox_->setCurrentIndex(materialBox_->findText(material, Qt::MatchFixedString));

    deleteButton_->setVisible(showDelete);

    compositionControls_.text->setText(lawText(composition));
    EfnControls_.text->setText(lawText(Efn));
    EfpControls_.text->setText(lawText(Efp));
    TnControls_.text->setText(lawText(Tn));
    TpControls_.text->setText(lawText(Tp));
}

bool CLayerPropertiesDialog::validateAndStore()
{
    // Only the first failure is shown and focused; every field that reads is stored all the same, so
    // that a law button keeps what was typed in the other fields.
    bool valid = true;
    const auto number = [&valid](NumberEdit* edit, double& field, double minimum, double maximum) {
        double entered = 0.0;
        const bool read = valid ? edit->validateNumber(entered, minimum, maximum)
                                : edit->readNumber(entered) && entered >= minimum && entered <= maximum;
        if (read)
            field = entered;
        else
            valid = false;
    };
    constexpr double lowest = std::numeric_limits<double>::lowest();
    constexpr double highest = std::numeric_limits<double>::max();

    number(dxEdit_, dx, lowest, highest);
    number(thicknessEdit_, thickness, lowest, highest);
    number(NdEdit_, Nd, lowest, highest);
    number(NaEdit_, Na, lowest, highest);
    material = materialBox_->currentIndex() >= 0 ? materialBox_->currentText() : QString();
    relaxed = relaxedCheck_->isChecked();
    holes = holesCheck_->isChecked();
    number(strainFactorEdit_, strainFactor, strainFactorMinimum, strainFactorMaximum);
    number(NdaEdit_, Nda, lowest, highest);
    number(NddEdit_, Ndd, lowest, highest);
    return valid;
}

void CLayerPropertiesDialog::editLaw(tervane::Quadratic& law)
{
    // A refused field shows its message but does not stop the law editing.
    validateAndStore();
    if (CEnterQuadraticDialog::editLaw(this, law, dialogRunner))
        updateControls();
}

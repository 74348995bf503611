#include "ui/dialogs/charge_view_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>

#include "model/constants.h"
#include "ui/dialogs/number_edit.h"
#include "ui/document/tervane_doc.h"

CChargeViewPropertiesDialog::CChargeViewPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Charge View Properties"), parent)
{
    logScaleCheck_ = new QCheckBox(QStringLiteral("Log Scale"), this);
    logScaleCheck_->setObjectName(QStringLiteral("logScaleCheck"));
    // Auto Scale is a plain switch: the limit edits stay enabled whatever its state.
    autoScaleCheck_ = new QCheckBox(QStringLiteral("Auto Scale"), this);
    autoScaleCheck_->setObjectName(QStringLiteral("autoScaleCheck"));

    scaleGroup_ = new QGroupBox(QStringLiteral("Scale"), this);
    scaleGroup_->setObjectName(QStringLiteral("scaleGroup"));
    // Each limit's edit stands left of its caption.
    auto* scaleLayout = new QGridLayout(scaleGroup_);
    upperLimitEdit_ = addNumberRow(scaleLayout, 0, QStringLiteral("upper limit (cm⁻³)"),
                                   QStringLiteral("upperLimitEdit"), 1, 0);
    lowerLimitEdit_ = addNumberRow(scaleLayout, 1, QStringLiteral("lower limit (cm⁻³)"),
                                   QStringLiteral("lowerLimitEdit"), 1, 0);

    auto* layout = new QGridLayout(this);
    layout->addWidget(logScaleCheck_, 0, 0);
    layout->addWidget(autoScaleCheck_, 1, 0);
    layout->addWidget(scaleGroup_, 2, 0);
    layout->addWidget(okCancelButtons(), 0, 1, 3, 1);
}

void CChargeViewPropertiesDialog::fromDocument(const CTervaneDoc& document,
                                               CChargeViewPropertiesDialog& dialog)
{
    // Auto-scale limits come from the solution: shown to four digits. Limits the user set are shown
    // to the digits that store them again unchanged.
    const bool autoScale = document.core.chargeView.autoScale;
    auto shown = [autoScale](double perCubicMetre) {
        const double perCubicCm = perCubicMetre * tervane::perCubicCmPerPerCubicMetre;
        return autoScale ? QString::number(perCubicCm, 'g', 4).toDouble() : perCubicCm;
    };
    // Under auto scale the limits the view draws, the stored ones otherwise.
    double lower = document.core.chargeView.lower;
    double upper = document.core.chargeView.upper;
    if (autoScale)
        document.chargeLimits(lower, upper);
    dialog.lowerLimit = shown(lower);
    dialog.upperLimit = shown(upper);
    dialog.logScale = document.core.chargeView.logScale;
    dialog.autoScale = document.core.chargeView.autoScale;
}

void CChargeViewPropertiesDialog::toDocument(const CChargeViewPropertiesDialog& dialog, CTervaneDoc& document)
{
    document.core.chargeView.autoScale = dialog.autoScale;
    document.core.chargeView.logScale = dialog.logScale;
    if (!dialog.autoScale) {
        document.core.chargeView.lower = dialog.lowerLimit * tervane::perCubicMetrePerPerCubicCm;
        document.core.chargeView.upper = dialog.upperLimit * tervane::perCubicMetrePerPerCubicCm;
    }
}

void CChargeViewPropertiesDialog::updateControls()
{
    const auto stored = [](double perCubicCm) { return perCubicCm * tervane::perCubicMetrePerPerCubicCm; };
    lowerLimitEdit_->setNumber(lowerLimit, stored);
    upperLimitEdit_->setNumber(upperLimit, stored);
    logScaleCheck_->setChecked(logScale);
    autoScaleCheck_->setChecked(autoScale);
}

bool CChargeViewPropertiesDialog::validateAndStore()
{
    double lower = 0.0;
    double upper = 0.0;
    if (!lowerLimitEdit_->validateNumber(lower) || !upperLimitEdit_->validateNumber(upper))
        return false;
    lowerLimit = lower;
    upperLimit = upper;
    logScale = logScaleCheck_->isChecked();
    autoScale = autoScaleCheck_->isChecked();
    return true;
}

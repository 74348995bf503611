#include "ui/charge_view_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "model/constants.h"
#include "ui/number_edit.h"
#include "ui/tervane_doc.h"

CChargeViewPropertiesDialog::CChargeViewPropertiesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Charge View Properties"));

    logScaleCheck_ = new QCheckBox(QStringLiteral("Log Scale"), this);
    logScaleCheck_->setObjectName(QStringLiteral("logScaleCheck"));
    // Auto Scale is a plain switch: the limit edits stay enabled whatever its state.
    autoScaleCheck_ = new QCheckBox(QStringLiteral("Auto Scale"), this);
    autoScaleCheck_->setObjectName(QStringLiteral("autoScaleCheck"));

    scaleGroup_ = new QGroupBox(QStringLiteral("Scale"), this);
    scaleGroup_->setObjectName(QStringLiteral("scaleGroup"));
    upperLimitEdit_ = new NumberEdit(scaleGroup_);
    upperLimitEdit_->setObjectName(QStringLiteral("upperLimitEdit"));
    lowerLimitEdit_ = new NumberEdit(scaleGroup_);
    lowerLimitEdit_->setObjectName(QStringLiteral("lowerLimitEdit"));
    auto* upperLabel = new QLabel(QStringLiteral("upper limit"), scaleGroup_);
    upperLabel->setBuddy(upperLimitEdit_);
    auto* lowerLabel = new QLabel(QStringLiteral("lower limit"), scaleGroup_);
    lowerLabel->setBuddy(lowerLimitEdit_);
    auto* scaleLayout = new QGridLayout(scaleGroup_);
    scaleLayout->addWidget(upperLimitEdit_, 0, 0);
    scaleLayout->addWidget(upperLabel, 0, 1);
    scaleLayout->addWidget(lowerLimitEdit_, 1, 0);
    scaleLayout->addWidget(lowerLabel, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CChargeViewPropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CChargeViewPropertiesDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(logScaleCheck_, 0, 0);
    layout->addWidget(autoScaleCheck_, 1, 0);
    layout->addWidget(scaleGroup_, 2, 0);
    layout->addWidget(buttons, 0, 1, 3, 1);
}

void CChargeViewPropertiesDialog::fromDocument(const CTervaneDoc& document,
                                               CChargeViewPropertiesDialog& dialog)
{
    dialog.lowerLimit = document.chargeLower * tervane::perCubicCmPerPerCubicMetre;
    dialog.upperLimit = document.chargeUpper * tervane::perCubicCmPerPerCubicMetre;
    dialog.logScale = document.logScale;
    dialog.autoScale = document.autoScale;
}

void CChargeViewPropertiesDialog::toDocument(const CChargeViewPropertiesDialog& dialog, CTervaneDoc& document)
{
    document.autoScale = dialog.autoScale;
    document.logScale = dialog.logScale;
    if (!dialog.autoScale) {
        document.chargeLower = dialog.lowerLimit * tervane::perCubicMetrePerPerCubicCm;
        document.chargeUpper = dialog.upperLimit * tervane::perCubicMetrePerPerCubicCm;
    }
}

void CChargeViewPropertiesDialog::updateControls()
{
    lowerLimitEdit_->setNumber(lowerLimit);
    upperLimitEdit_->setNumber(upperLimit);
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

void CChargeViewPropertiesDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void CChargeViewPropertiesDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

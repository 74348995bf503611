#include "ui/dialogs/temperature_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>

#include "engine/document.h"
#include "ui/dialogs/number_edit.h"

CTemperatureDialog::CTemperatureDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Temperature"), parent)
{
    auto* layout = new QGridLayout(this);
    temperatureEdit_ =
        addNumberRow(layout, 0, QStringLiteral("Temperature (K):"), QStringLiteral("temperatureEdit"));
    layout->addWidget(okCancelButtons(), 0, 2, 2, 1);
    layout->setRowStretch(1, 1);
}

void CTemperatureDialog::fromDocument(const tervane::Document& document, CTemperatureDialog& dialog)
{
    dialog.temperature = document.temperature;
}

void CTemperatureDialog::toDocument(const CTemperatureDialog& dialog, tervane::Document& document)
{
    document.temperature = dialog.temperature;
}

void CTemperatureDialog::updateControls()
{
    temperatureEdit_->setNumber(temperature);
}

bool CTemperatureDialog::validateAndStore()
{
    double entered = 0.0;
    if (!temperatureEdit_->validateNumber(entered, temperatureMinimum, temperatureMaximum))
        return false;
    temperature = entered;
    return true;
}

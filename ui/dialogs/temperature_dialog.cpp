#include "ui/temperature_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "engine/document.h"
#include "ui/number_edit.h"

CTemperatureDialog::CTemperatureDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Temperature"));

    auto* label = new QLabel(QStringLiteral("Temperature (K)"), this);
    temperatureEdit_ = new NumberEdit(this);
    temperatureEdit_->setObjectName(QStringLiteral("temperatureEdit"));
    label->setBuddy(temperatureEdit_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CTemperatureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTemperatureDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(temperatureEdit_, 0, 1);
    layout->addWidget(buttons, 0, 2, 2, 1);
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

void CTemperatureDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void CTemperatureDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

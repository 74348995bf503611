#include "ui/dialogs/where_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>

#include "ui/dialogs/number_edit.h"

CWhereDialog::CWhereDialog(QWidget* parent) : SettingsDialog(QStringLiteral("Where?"), parent)
{
    auto* layout = new QGridLayout(this);
    positionEdit_ = addNumberRow(layout, 0, QStringLiteral("Position:"), QStringLiteral("positionEdit"));
    layout->addWidget(okCancelButtons(), 0, 2, 2, 1);
    layout->setRowStretch(1, 1);
}

void CWhereDialog::updateControls()
{
    positionEdit_->setInteger(position);
}

bool CWhereDialog::validateAndStore()
{
    int entered = 0;
    if (!positionEdit_->validateInteger(entered, positionMinimum, positionMaximum))
        return false;
    position = entered;
    return true;
}

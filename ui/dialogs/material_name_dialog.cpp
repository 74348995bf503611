#include "ui/dialogs/material_name_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>

CMaterialNameDialog::CMaterialNameDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Material Name"), parent)
{
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QStringLiteral("nameEdit"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(nameEdit_, 1, Qt::AlignTop);
    layout->addWidget(okCancelButtons());
}

void CMaterialNameDialog::updateControls()
{
    nameEdit_->setText(name);
    nameEdit_->selectAll();
}

bool CMaterialNameDialog::validateAndStore()
{
    name = nameEdit_->text();
    return true;
}

#include "ui/material_name_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

CMaterialNameDialog::CMaterialNameDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Material Name"));

    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QStringLiteral("nameEdit"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CMaterialNameDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMaterialNameDialog::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(nameEdit_, 1, Qt::AlignTop);
    layout->addWidget(buttons);
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

void CMaterialNameDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void CMaterialNameDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

#include "ui/where_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "ui/number_edit.h"

CWhereDialog::CWhereDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Where?"));

    auto* label = new QLabel(QStringLiteral("Position"), this);
    positionEdit_ = new NumberEdit(this);
    positionEdit_->setObjectName(QStringLiteral("positionEdit"));
    label->setBuddy(positionEdit_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CWhereDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWhereDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(positionEdit_, 0, 1);
    layout->addWidget(buttons, 0, 2, 2, 1);
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

void CWhereDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void CWhereDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

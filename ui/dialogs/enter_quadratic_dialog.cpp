#include "ui/dialogs/enter_quadratic_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/dialogs/number_edit.h"

CEnterQuadraticDialog::CEnterQuadraticDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Enter Quadratic"), parent)
{
    const auto makeEdit = [this](const char* name) {
        auto* edit = new NumberEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    aEdit_ = makeEdit("aEdit");
    bEdit_ = makeEdit("bEdit");
    cEdit_ = makeEdit("cEdit");

    auto* row = new QHBoxLayout;
    row->addWidget(aEdit_);
    row->addWidget(new QLabel(QStringLiteral("+"), this));
    row->addWidget(bEdit_);
    row->addWidget(new QLabel(QStringLiteral("x +"), this));
    row->addWidget(cEdit_);
    row->addWidget(new QLabel(QStringLiteral("x^2"), this));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(okCancelButtons(Qt::Horizontal));
}

void CEnterQuadraticDialog::setLaw(const tervane::Quadratic& law)
{
    a = law.a;
    b = law.b;
    c = law.c;
}

void CEnterQuadraticDialog::updateControls()
{
    aEdit_->setNumber(a);
    bEdit_->setNumber(b);
    cEdit_->setNumber(c);
}

bool CEnterQuadraticDialog::validateAndStore()
{
    double enteredA = 0.0;
    double enteredB = 0.0;
    double enteredC = 0.0;
    if (!aEdit_->validateNumber(enteredA) || !bEdit_->validateNumber(enteredB) ||
        !cEdit_->validateNumber(enteredC))
        return false;
    a = enteredA;
    b = enteredB;
    c = enteredC;
    return true;
}

bool CEnterQuadraticDialog::editLaw(QWidget* parent, tervane::Quadratic& law, const DialogRunner& runner)
{
    CEnterQuadraticDialog dialog(parent);
    dialog.setLaw(law);
    if (runDialog(dialog, runner) != QDialog::Accepted)
        return false;
    law = dialog.law();
    return true;
}

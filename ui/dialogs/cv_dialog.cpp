#include "ui/dialogs/cv_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>

#include "ui/dialogs/number_edit.h"

CCvDialog::CCvDialog(QWidget* parent) : SettingsDialog(QStringLiteral("CV Profile"), parent)
{
    auto* layout = new QGridLayout(this);
    startEdit_ = addNumberRow(layout, 0, QStringLiteral("Start (V):"), QStringLiteral("startEdit"));
    stopEdit_ = addNumberRow(layout, 1, QStringLiteral("Stop (V):"), QStringLiteral("stopEdit"));
    stepEdit_ = addNumberRow(layout, 2, QStringLiteral("Step (V):"), QStringLiteral("stepEdit"));
    for (NumberEdit* edit : {startEdit_, stopEdit_, stepEdit_})
        edit->setToolTip(QStringLiteral("V, a shift of the left barrier"));
    layout->addWidget(okCancelButtons(), 0, 2, 3, 1);
}

bool CCvDialog::sweepEnds(double start, double stop, double step)
{
    return step > 0.0 || (step < 0.0 && start > stop);
}

void CCvDialog::updateControls()
{
    startEdit_->setNumber(start);
    stopEdit_->setNumber(stop);
    stepEdit_->setNumber(step);
}

bool CCvDialog::validateAndStore()
{
    double enteredStart = 0.0;
    double enteredStop = 0.0;
    double enteredStep = 0.0;
    if (!startEdit_->validateNumber(enteredStart) || !stopEdit_->validateNumber(enteredStop) ||
        !stepEdit_->validateNumber(enteredStep))
        return false;
    if (!sweepEnds(enteredStart, enteredStop, enteredStep)) {
        stepEdit_->refuse(QStringLiteral("The Step must be greater than 0 for the sweep to reach Stop."));
        return false;
    }
    start = enteredStart;
    stop = enteredStop;
    step = enteredStep;
    return true;
}

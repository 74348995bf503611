#include "ui/cv_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "ui/number_edit.h"

CCvDialog::CCvDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("CV Profile"));

    auto* layout = new QGridLayout(this);
    const auto addField = [this, layout](int row, const QString& caption, const QString& name) {
        auto* label = new QLabel(caption, this);
        auto* edit = new NumberEdit(this);
        edit->setObjectName(name);
        label->setBuddy(edit);
        layout->addWidget(label, row, 0);
        layout->addWidget(edit, row, 1);
        return edit;
    };
    startEdit_ = addField(0, QStringLiteral("Start"), QStringLiteral("startEdit"));
    stopEdit_ = addField(1, QStringLiteral("Stop"), QStringLiteral("stopEdit"));
    stepEdit_ = addField(2, QStringLiteral("Step"), QStringLiteral("stepEdit"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CCvDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCvDialog::reject);
    layout->addWidget(buttons, 0, 2, 3, 1);
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

void CCvDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void CCvDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

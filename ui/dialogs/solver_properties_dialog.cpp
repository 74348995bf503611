#include "ui/solver_properties_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "engine/document.h"
#include "ui/number_edit.h"

CSolverPropertiesDialog::CSolverPropertiesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Solver Properties"));

    poissonIterationsEdit_ = new NumberEdit(this);
    poissonIterationsEdit_->setObjectName(QStringLiteral("poissonIterationsEdit"));
    schroedingerIterationsEdit_ = new NumberEdit(this);
    schroedingerIterationsEdit_->setObjectName(QStringLiteral("schroedingerIterationsEdit"));
    dampingEdit_ = new NumberEdit(this);
    dampingEdit_->setObjectName(QStringLiteral("dampingEdit"));

    auto* poissonLabel = new QLabel(QStringLiteral("Poisson Iterations"), this);
    poissonLabel->setBuddy(poissonIterationsEdit_);
    auto* schroedingerLabel = new QLabel(QStringLiteral("Scrhodinger Iterations"), this);
    schroedingerLabel->setBuddy(schroedingerIterationsEdit_);
    auto* dampingLabel = new QLabel(QStringLiteral("Damping Factor"), this);
    dampingLabel->setBuddy(dampingEdit_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSolverPropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSolverPropertiesDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(poissonLabel, 0, 0);
    layout->addWidget(poissonIterationsEdit_, 0, 1);
    layout->addWidget(schroedingerLabel, 1, 0);
    layout->addWidget(schroedingerIterationsEdit_, 1, 1);
    layout->addWidget(dampingLabel, 2, 0);
    layout->addWidget(dampingEdit_, 2, 1);
    layout->addWidget(buttons, 0, 2, 3, 1);
}

void CSolverPropertiesDialog::fromDocument(const tervane::Document& document, CSolverPropertiesDialog& dialog)
{
    dialog.dampingShown = 1.0 - document.damping;
    dialog.poissonIterations = document.poissonIterations;
    dialog.schroedingerIterations = document.schroedingerIterations;
}

void CSolverPropertiesDialog::toDocument(const CSolverPropertiesDialog& dialog, tervane::Document& document)
{
    document.poissonIterations = dialog.poissonIterations;
    document.schroedingerIterations = dialog.schroedingerIterations;
    document.damping = 1.0 - dialog.dampingShown;
}

void CSolverPropertiesDialog::updateControls()
{
    dampingEdit_->setNumber(dampingShown);
    poissonIterationsEdit_->setInteger(poissonIterations);
    schroedingerIterationsEdit_->setInteger(schroedingerIterations);
}

bool CSolverPropertiesDialog::validateAndStore()
{
    double damping = 0.0;
    int poisson = 0;
    int schroedinger = 0;
    if (!dampingEdit_->validateNumber(damping, dampingShownMinimum, dampingShownMaximum) ||
        !poissonIterationsEdit_->validateInteger(poisson, 0, poissonIterationsMaximum) ||
        !schroedingerIterationsEdit_->validateInteger(schroedinger, 0, schroedingerIterationsMaximum))
        return false;
    dampingShown = damping;
    poissonIterations = poisson;
    schroedingerIterations = schroedinger;
    return true;
}

void CSolverPropertiesDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void CSolverPropertiesDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

#include "ui/dialogs/solver_properties_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>

#include "engine/document.h"
#include "ui/dialogs/number_edit.h"

CSolverPropertiesDialog::CSolverPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Solver Properties"), parent)
{
    auto* layout = new QGridLayout(this);
    poissonIterationsEdit_ = addNumberRow(layout, 0, QStringLiteral("Poisson Iterations"),
                                          QStringLiteral("poissonIterationsEdit"));
    schroedingerIterationsEdit_ = addNumberRow(layout, 1, QStringLiteral("Scrhodinger Iterations"),
                                               QStringLiteral("schroedingerIterationsEdit"));
    dampingEdit_ = addNumberRow(layout, 2, QStringLiteral("Damping Factor"), QStringLiteral("dampingEdit"));
    layout->addWidget(okCancelButtons(), 0, 2, 3, 1);
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

#include "ui/dialogs/solver_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/document.h"
#include "ui/dialogs/number_edit.h"

namespace {
constexpr double nanometresPerMetre = 1e9;
constexpr double maximumDepth = 1e9;   // nm: a metre, far beyond any structure
constexpr double minimumRegion = 1e-3; // nm between the region's ends
} // namespace

CSolverPropertiesDialog::CSolverPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Solver Properties"), parent)
{
    auto* layout = new QGridLayout(this);
    poissonIterationsEdit_ = addNumberRow(layout, 0, QStringLiteral("Poisson iterations:"),
                                          QStringLiteral("poissonIterationsEdit"));
    schroedingerIterationsEdit_ = addNumberRow(layout, 1, QStringLiteral("Schroedinger iterations:"),
                                               QStringLiteral("schroedingerIterationsEdit"));
    dampingEdit_ = addNumberRow(layout, 2, QStringLiteral("Damping factor:"), QStringLiteral("dampingEdit"));
    selfConsistencyCombo_ = new QComboBox(this);
    selfConsistencyCombo_->setObjectName(QStringLiteral("selfConsistencyCombo"));
    selfConsistencyCombo_->addItems({QStringLiteral("Alternating"), QStringLiteral("Accelerated")});
    selfConsistencyCombo_->setToolTip(
        QStringLiteral("Alternating: one Poisson step per Schroedinger pass. Accelerated: the bound charge "
                       "follows the potential between passes; the same solution in a few passes."));
    auto* selfConsistencyLabel = new QLabel(QStringLiteral("Schroedinger passes:"), this);
    selfConsistencyLabel->setBuddy(selfConsistencyCombo_);
    layout->addWidget(selfConsistencyLabel, 3, 0);
    layout->addWidget(selfConsistencyCombo_, 3, 1);
    quantumRegionCheck_ = new QCheckBox(QStringLiteral("Quantum Region Only"), this);
    quantumRegionCheck_->setObjectName(QStringLiteral("quantumRegionCheck"));
    quantumRegionCheck_->setToolTip(
        QStringLiteral("Solve the bound states only between these depths; classical carriers elsewhere. "
                       "Every occupied state must die away before the edges."));
    layout->addWidget(quantumRegionCheck_, 4, 0, 1, 2);
    quantumFromEdit_ =
        addNumberRow(layout, 5, QStringLiteral("From (nm):"), QStringLiteral("quantumFromEdit"));
    quantumToEdit_ = addNumberRow(layout, 6, QStringLiteral("To (nm):"), QStringLiteral("quantumToEdit"));
    eigenstateFilesCheck_ = new QCheckBox(QStringLiteral("Write eigenstate files after each solve"), this);
    eigenstateFilesCheck_->setObjectName(QStringLiteral("eigenstateFilesCheck"));
    eigenstateFilesCheck_->setToolTip(
        QStringLiteral("qstates.dat (and qstateslh.dat, qstateshh.dat with the valence switch): every "
                       "state at every point; large on fine grids."));
    layout->addWidget(eigenstateFilesCheck_, 7, 0, 1, 2);
    outputFolderEdit_ = new QLineEdit(this);
    outputFolderEdit_->setObjectName(QStringLiteral("outputFolderEdit"));
    outputFolderEdit_->setPlaceholderText(QStringLiteral("beside the document"));
    outputFolderEdit_->setToolTip(
        QStringLiteral("Where the eigenstate files and cv.out go; empty: the folder \"<name> output\" beside "
                       "the document."));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Output Folder"),
                                                                 outputFolderEdit_->text());
        if (!folder.isEmpty())
            outputFolderEdit_->setText(folder);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(outputFolderEdit_, 1);
    folderRow->addWidget(browse);
    auto* folderLabel = new QLabel(QStringLiteral("Output folder:"), this);
    folderLabel->setBuddy(outputFolderEdit_);
    layout->addWidget(folderLabel, 8, 0);
    layout->addLayout(folderRow, 8, 1);
    layout->addWidget(okCancelButtons(), 0, 2, 9, 1);
}

void CSolverPropertiesDialog::fromDocument(const tervane::Document& document, CSolverPropertiesDialog& dialog)
{
    dialog.dampingShown = 1.0 - document.damping;
    dialog.poissonIterations = document.poissonIterations;
    dialog.schroedingerIterations = document.schroedingerIterations;
    const tervane::SchroedingerSettings& settings = document.schroedingerSettings;
    dialog.accelerated = settings.selfConsistency == tervane::SelfConsistency::Accelerated;
    dialog.quantumRegion = settings.quantumRegion;
    dialog.quantumFrom = settings.quantumFrom * nanometresPerMetre;
    dialog.quantumTo = settings.quantumTo * nanometresPerMetre;
    dialog.eigenstateFiles = settings.eigenstateFiles;
    dialog.outputFolder = QString::fromStdString(settings.dumpDirectory);
}

void CSolverPropertiesDialog::toDocument(const CSolverPropertiesDialog& dialog, tervane::Document& document)
{
    document.poissonIterations = dialog.poissonIterations;
    document.schroedingerIterations = dialog.schroedingerIterations;
    document.damping = 1.0 - dialog.dampingShown;
    tervane::SchroedingerSettings& settings = document.schroedingerSettings;
    settings.selfConsistency =
        dialog.accelerated ? tervane::SelfConsistency::Accelerated : tervane::SelfConsistency::Alternating;
    settings.quantumRegion = dialog.quantumRegion;
    settings.quantumFrom = dialog.quantumFrom / nanometresPerMetre;
    settings.quantumTo = dialog.quantumTo / nanometresPerMetre;
    settings.eigenstateFiles = dialog.eigenstateFiles;
    settings.dumpDirectory = dialog.outputFolder.trimmed().toStdString();
}

void CSolverPropertiesDialog::updateControls()
{
    // Shown as the document takes them back, so that OK without a change keeps them bit for bit.
    dampingEdit_->setNumber(dampingShown, [](double shown) { return 1.0 - shown; });
    poissonIterationsEdit_->setInteger(poissonIterations);
    schroedingerIterationsEdit_->setInteger(schroedingerIterations);
    selfConsistencyCombo_->setCurrentIndex(accelerated ? 1 : 0);
    quantumRegionCheck_->setChecked(quantumRegion);
    const auto metres = [](double nanometres) { return nanometres / nanometresPerMetre; };
    quantumFromEdit_->setNumber(quantumFrom, metres);
    quantumToEdit_->setNumber(quantumTo, metres);
    eigenstateFilesCheck_->setChecked(eigenstateFiles);
    outputFolderEdit_->setText(outputFolder);
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
    // The depths are read only for a region that is on; its end must lie beyond its start.
    double from = quantumFrom;
    double to = quantumTo;
    const bool region = quantumRegionCheck_->isChecked();
    if (region && (!quantumFromEdit_->validateNumber(from, 0.0, maximumDepth) ||
                   !quantumToEdit_->validateNumber(to, from + minimumRegion, maximumDepth)))
        return false;
    dampingShown = damping;
    poissonIterations = poisson;
    schroedingerIterations = schroedinger;
    accelerated = selfConsistencyCombo_->currentIndex() == 1;
    quantumRegion = region;
    quantumFrom = from;
    quantumTo = to;
    eigenstateFiles = eigenstateFilesCheck_->isChecked();
    outputFolder = outputFolderEdit_->text().trimmed();
    return true;
}

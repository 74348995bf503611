#include "ui/document/tervane_doc.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/cv_profile.h"
#include "engine/solve_driver.h"
#include "export/band_profile_export.h"
#include "export/charge_export.h"
#include "io/document_file.h"
#include "io/file_util.h"
#include "io/import_script.h"
#include "io/materials_loader.h"
#include "model/material.h"
#include "ui/dialogs/charge_view_properties_dialog.h"
#include "ui/dialogs/contacts_dialog.h"
#include "ui/dialogs/cv_dialog.h"
#include "ui/dialogs/export_figure_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/solver_properties_dialog.h"
#include "ui/dialogs/temperature_dialog.h"
#include "ui/document/file_chooser.h"
#include "ui/document/layer_editing.h"
#include "ui/document/materials_editing.h"
#include "ui/document/message_sink.h"
#include "ui/document/tervane_app.h"
#include "ui/views/figure.h"
#include "ui/views/plot_mapping.h"

namespace {

// The clipboard's form of layers: the bytes of a document file that holds them.
QString layersMimeType()
{
    return QStringLiteral("application/x-tervane-layers");
}

// " Layer 2 (AlGaN) names the material "AlGaN", which is not in the materials list.": the first
// layer whose material is missing, as a message about it goes on.
QString missingMaterialNote(const tervane::Document& document)
{
    for (std::size_t k = 0; k < document.layers.size(); ++k) {
        const tervane::Layer& layer = document.layers[k];
        if (!tervane::findMaterial(document.materials, layer.material))
            return QStringLiteral(" %1 names the material \"%2\", which is not in the materials list.")
                .arg(QString::fromStdString(tervane::layerLabel(k, layer)),
                     QString::fromStdString(layer.material));
    }
    return {};
}

// How much of a file tells a document from a script or a materials file.
constexpr qint64 headBytes = 64;

bool startsLikeDocument(const QByteArray& head)
{
    return tervane::looksLikeDocumentFile(
        std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
}

// Whether a file operation succeeded; the user is shown why when it did not.
bool succeeded(const tervane::IoResult& result)
{
    if (!result)
        MessageSink::current().showMessage(QString::fromStdString(result.message));
    return result.ok;
}

} // namespace

// What the core says outside a solve (reading a script, writing the charges, finding the states to
// draw) becomes a message box; solves report through their runner.
class CTervaneDoc::EngineObserver : public tervane::Observer {
  public:
    void message(const std::string& text) override
    {
        MessageSink::current().showMessage(QString::fromStdString(text));
    }
};

CTervaneDoc::CTervaneDoc(CTervaneApp* app, QObject* parent)
    : QObject(parent), app_(app), observer_(std::make_unique<EngineObserver>())
{
    runner_.setResultHandler([this](SolveRunner::Result&& result) { takeResult(std::move(result)); });
    runner_.setProgressHandler(
        [this](const tervane::SolveProgress& where, SolveRunner::Job job) { showProgress(where, job); });
    connect(&undoStack_, &QUndoStack::cleanChanged, this, &CTervaneDoc::titleChanged);
    shownState_ = solutionKey(core);
}

CTervaneDoc::~CTervaneDoc() = default;

void CTervaneDoc::addView(QWidget* view)
{
    views_.append(view);
}

QString CTervaneDoc::title() const
{
    return pathName_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(pathName_).fileName();
}

bool CTervaneDoc::edit(const QString& name, const std::function<bool()>& change, bool solveAfter)
{
    DocumentState before = captureState(core);
    const bool wasMaterialsModified = materialsModified();
    if (!change())
        return false;
    DocumentState after = captureState(core);
    if (after == before)
        return false;
    undoStack_.push(new DocumentEditCommand(
        name, std::move(before), std::move(after), solveAfter,
        [this](const DocumentState& state, bool solveAgain) { applyState(state, solveAgain); }));
    if (materialsModified() != wasMaterialsModified)
        emit titleChanged();
    emit updated();
    if (solveAfter)
        startSolve();
    return true;
}

void CTervaneDoc::applyState(const DocumentState& state, bool solveAfter)
{
    restoreState(core, state);
    emit titleChanged();
    if (solveAfter) {
        startSolve();
    } else {
        repaintAllViews();
        emit updated();
    }
}

void CTervaneDoc::resetHistory()
{
    undoStack_.clear();
    undoStack_.setClean();
    emit titleChanged();
}

namespace {

// Auto scale: a log scale spans at most this many decades below the largest density.
constexpr double autoScaleDecades = 12.0;
// What a log scale with no positive density or limit shows, m^-3 (1e10 to 1e20 cm^-3).
constexpr double fallbackLower = 1e16;
constexpr double fallbackUpper = 1e26;
// The factor between limits that were equal and are drawn apart.
constexpr double equalLimitsSpread = 10.0;

} // namespace

void CTervaneDoc::updateChargeScale()
{
    const tervane::Grid& grid = core.grid;
    if (!core.chargeView.autoScale || grid.count <= 0)
        return;
    const std::vector<double> depths = pointDepths(grid);
    const PointRange shown = pointsCovering(depths, depthWindow.from(), depthWindow.to());
    const tervane::DensityMode mode = tervane::solutionDensityMode(core);
    double largest = 0.0;
    double smallestPositive = std::numeric_limits<double>::infinity();
    for (int i = shown.first; i <= shown.last; ++i) {
        const tervane::GridPoint& point = grid.point(i);
        const double n = point.electronDensity(grid.modeIn(i, mode));
        if (!std::isfinite(n))
            continue;
        largest = std::max(largest, n);
        if (n > 0)
            smallestPositive = std::min(smallestPositive, n);
    }
    if (!(largest > 0)) {
        autoLower_ = core.chargeView.logScale ? fallbackLower : 0.0;
        autoUpper_ = core.chargeView.logScale ? fallbackUpper : fallbackUpper * 1e-6;
        return;
    }
    autoUpper_ = largest;
    if (core.chargeView.logScale)
        autoLower_ = std::max(smallestPositive, largest * std::pow(10.0, -autoScaleDecades));
    else
        autoLower_ = 0.0;
    if (autoLower_ >= autoUpper_)
        autoLower_ = core.chargeView.logScale ? autoUpper_ / equalLimitsSpread : 0.0;
}

void CTervaneDoc::chargeLimits(double& lower, double& upper, QString* note) const
{
    lower = core.chargeView.autoScale ? autoLower_ : core.chargeView.lower;
    upper = core.chargeView.autoScale ? autoUpper_ : core.chargeView.upper;
    QStringList changes;
    if (lower > upper) {
        std::swap(lower, upper);
        changes << QStringLiteral("the limits were in the wrong order");
    }
    if (core.chargeView.logScale && !(upper > 0)) {
        lower = fallbackLower;
        upper = fallbackUpper;
        changes << QStringLiteral("a log scale needs a positive upper limit");
    } else if (core.chargeView.logScale && !(lower > 0)) {
        lower = upper * std::pow(10.0, -autoScaleDecades);
        changes << QStringLiteral("a log scale needs a positive lower limit");
    }
    if (!(upper > lower)) {
        if (core.chargeView.logScale) {
            upper = lower * equalLimitsSpread;
        } else {
            const double half = lower != 0 ? std::fabs(lower) / 2 : 1.0;
            upper = lower + half;
            lower -= half;
        }
        changes << QStringLiteral("the limits were equal");
    }
    if (note && !changes.isEmpty())
        *note = QStringLiteral("Charge view: %1; it shows %2 to %3 cm-3.")
                    .arg(changes.join(QStringLiteral("; ")))
                    .arg(lower * 1e-6, 0, 'g', 3)
                    .arg(upper * 1e-6, 0, 'g', 3);
    else if (note)
        note->clear();
}

const std::vector<double>& CTervaneDoc::depths() const
{
    if (depthsSolve_ != solveCount_ ||
        depths_.size() != static_cast<std::size_t>(std::max(0, core.grid.count))) {
        depths_ = pointDepths(core.grid);
        depthsSolve_ = solveCount_;
    }
    return depths_;
}

void CTervaneDoc::followSolution()
{
    const std::vector<double> depths = pointDepths(core.grid);
    depthWindow.setLength(depths.empty() ? 0.0 : depths.back());
    if (core.grid.count < 3)
        boundStates.clear();
    if (followedSolve_ == solveCount_)
        return;
    followedSolve_ = solveCount_;
    // The range the user chose stays where it is in the structure; its intervals and ns are new.
    if (hasChargeRange())
        tervane::setChargeRangeByDepth(core, core.chargeView.rangeFrom, core.chargeView.rangeTo);
    if (boundStatesSolve_ == solveCount_)
        return;
    boundStates.clear();
    if (showBoundStates && core.schroedingerOn)
        boundStates = tervane::boundStateCurves(core, *observer_);
}

void CTervaneDoc::repaintAllViews()
{
    depthWindow.setLength(core.grid.count > 0 ? pointDepths(core.grid).back() : 0.0);
    updateChargeScale();
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->repaint();
}

void CTervaneDoc::updateAllViews()
{
    followSolution();
    updateChargeScale();
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->update();
    emit updated();
    emit depthWindowChanged();
}

void CTervaneDoc::forgetViewState()
{
    depthWindow = tervane::DepthWindow();
    boundStates.clear();
}

void CTervaneDoc::depthWindowMoved()
{
    updateChargeScale();
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->update();
    emit depthWindowChanged();
}

void CTervaneDoc::zoomAbout(double depth, double factor)
{
    depthWindow.zoomAbout(depth, factor);
    depthWindowMoved();
}

void CTervaneDoc::showDepths(double from, double to)
{
    depthWindow.show(from, to);
    depthWindowMoved();
}

void CTervaneDoc::zoomToFit()
{
    depthWindow.fit();
    depthWindowMoved();
}

void CTervaneDoc::zoomIn()
{
    zoomAbout(0.5 * (depthWindow.from() + depthWindow.to()), 0.5);
}

void CTervaneDoc::zoomOut()
{
    zoomAbout(0.5 * (depthWindow.from() + depthWindow.to()), 2.0);
}

void CTervaneDoc::zoomToChargeRange()
{
    if (hasChargeRange())
        showDepths(core.chargeView.rangeFrom, core.chargeView.rangeTo);
}

void CTervaneDoc::pan(double delta)
{
    depthWindow.pan(delta);
    depthWindowMoved();
}

void CTervaneDoc::toggleBoundStates()
{
    showBoundStates = !showBoundStates;
    followedSolve_ = -1; // finds the states when they are shown again
    boundStatesSolve_ = -1;
    followSolution();
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->update();
    emit updated();
}

void CTervaneDoc::startSolve()
{
    tervane::Document input = core;
    prepareOutputFolder(input);
    startJob(std::move(input), SolveRunner::Job::Solve, SolveRunner::CvRequest());
}

void CTervaneDoc::startJob(tervane::Document input, SolveRunner::Job job, SolveRunner::CvRequest cv)
{
    runningState_ = solutionKey(core);
    runningJob_ = job;
    progressText_ = job == SolveRunner::Job::CvProfile ? QStringLiteral("C-V profile: starting")
                                                       : QStringLiteral("Solving");
    runner_.start(std::move(input), job, std::move(cv), showBoundStates);
    emit solveProgress(progressText_);
    emit updated();
}

bool CTervaneDoc::solve()
{
    startSolve();
    finishSolve();
    return !solveFailed_;
}

void CTervaneDoc::finishSolve()
{
    runner_.wait();
}

bool CTervaneDoc::solving() const
{
    return runner_.busy();
}

bool CTervaneDoc::stopSolve()
{
    if (!runner_.stop())
        return false;
    progressText_.clear();
    emit solveProgress(QString());
    emit statusMessage(QStringLiteral("Stopped; F5 solves again."));
    emit updated();
    return true;
}

bool CTervaneDoc::solutionIsCurrent() const
{
    return shownState_ == solutionKey(core);
}

void CTervaneDoc::showProgress(const tervane::SolveProgress& where, SolveRunner::Job job)
{
    using Phase = tervane::SolveProgress::Phase;
    if (where.phase == Phase::Bias)
        progressText_ = QStringLiteral("C-V profile: bias %1 of %2 (%3 V)")
                            .arg(where.step)
                            .arg(where.total)
                            .arg(where.error, 0, 'f', 3);
    else if (job == SolveRunner::Job::CvProfile)
        progressText_ = QStringLiteral("C-V profile: solving again at the contact's own bias");
    else
        progressText_ = QStringLiteral("Solving: %1 %2, error %3 V")
                            .arg(where.phase == Phase::Classical ? QStringLiteral("classical step")
                                                                 : QStringLiteral("Schroedinger pass"))
                            .arg(where.step)
                            .arg(where.error, 0, 'e', 2);
    emit solveProgress(progressText_);
    if (where.phase == Phase::Bias)
        emit cvProgress(where.step, where.total);
}

void CTervaneDoc::takeResult(SolveRunner::Result&& result)
{
    progressText_.clear();
    emit solveProgress(QString());
    ++solveCount_;
    shownState_ = runningState_;
    const bool cv = result.job == SolveRunner::Job::CvProfile;
    // One box for what the engine said, each message once, a missing material with the layer that
    // names it.
    QStringList messages;
    for (const std::string& text : result.messages) {
        QString message = QString::fromStdString(text).trimmed();
        if (text == "Material not found!")
            message += missingMaterialNote(result.document);
        if (!messages.contains(message))
            messages << message;
    }
    // A C-V sweep that stopped early still ends with the structure solved again at its bias.
    const bool solved = cv ? result.document.grid.count > 0 || result.document.layers.empty() : result.ok;
    if (solved) {
        tervane::adoptSolution(core, std::move(result.document));
        failure_.clear();
        // The states were found on the worker; following this solve need not find them again.
        boundStates = std::move(result.boundStates);
        boundStatesSolve_ = solveCount_;
    } else {
        // A failure shows nothing of the half-built grid.
        core.grid.reset(0);
        core.subbands.clear();
        core.iterations = 0;
        core.boundStates = 0;
        core.sheetCharge = 0.0;
        core.converged = true;
        failure_ = messages.isEmpty() ? QStringLiteral("the solution is not finite") : messages.first();
    }
    solveFailed_ = !solved;
    updateAllViews();
    if (!messages.isEmpty())
        MessageSink::current().showMessage(messages.join(QLatin1Char('\n')));
    if (solved && cv && result.ok)
        emit statusMessage(
            QStringLiteral("C-V profile written to %1").arg(QDir::toNativeSeparators(cvPath_)));
    else if (solved && core.schroedingerOn && result.document.schroedingerSettings.eigenstateFiles)
        emit statusMessage(QStringLiteral("Eigenstate files written to %1")
                               .arg(QDir::toNativeSeparators(QString::fromStdString(
                                   result.document.schroedingerSettings.dumpDirectory))));
    if (cv)
        emit cvProgress(-1, 0);
}

QString CTervaneDoc::solverStatusText() const
{
    if (solveFailed_)
        return QStringLiteral("Solve failed: %1").arg(failure_);
    // After a stop the plots keep the last finished solve; say that it is not the structure's now.
    const QString previous = !solving() && !solutionIsCurrent() && core.grid.count > 0
                                 ? QStringLiteral("Out of date (F5 solves): ")
                                 : QString();
    QString text = QString::fromStdString(tervane::statusLine(core));
    // Without a range there is no sheet density to show.
    const qsizetype ns = text.indexOf(QStringLiteral(" ns:"));
    if (!hasChargeRange() && ns >= 0)
        text = text.left(ns) + QStringLiteral(" ns: drag across the charge view");
    return previous + text;
}

QString CTervaneDoc::cursorStatusText() const
{
    constexpr double sameDensity = 1e-9; // relative
    QString n = QString::asprintf("n: %.3e", cursorN * 1e-6);
    if (std::fabs(cursorN - cursorClassicalN) >
        sameDensity * std::max(std::fabs(cursorN), std::fabs(cursorClassicalN)))
        n += QString::asprintf(" (classical %.3e)", cursorClassicalN * 1e-6);
    return n + QString::asprintf("\tp: %.3e\tx: %.2f nm", cursorP * 1e-6, cursorX * 1e9);
}

bool CTervaneDoc::saveModified()
{
    if (isModified()) {
        const auto choice =
            MessageSink::current().askSaveChanges(QStringLiteral("Save changes to %1?").arg(title()));
        if (choice == MessageSink::SaveChoice::Cancel)
            return false;
        if (choice == MessageSink::SaveChoice::Save && !fileSave())
            return false;
    }
    return saveModifiedMaterials();
}

bool CTervaneDoc::saveModifiedMaterials()
{
    if (!materialsModified())
        return true;
    const auto choice =
        MessageSink::current().askSaveChanges(QStringLiteral("Save changes to the materials?"));
    if (choice == MessageSink::SaveChoice::Cancel)
        return false;
    if (choice == MessageSink::SaveChoice::Save)
        materialsSave();
    return !materialsModified() || choice == MessageSink::SaveChoice::Discard;
}

bool CTervaneDoc::fileNew()
{
    if (!saveModified())
        return false;
    runner_.stop();
    core.newDocument();
    core.chargeView.rangeFrom = core.chargeView.rangeTo = 0.0;
    forgetViewState();
    pathName_.clear();
    resetHistory();
    startSolve();
    return true;
}

bool CTervaneDoc::fileOpen()
{
    if (!saveModified())
        return false;
    const QString path = FileChooser::current().openFileName(dialogParent(), QStringLiteral("Open"));
    if (path.isEmpty())
        return false;
    return openDocument(path);
}

bool CTervaneDoc::openDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        MessageSink::current().showMessage(QStringLiteral("Could not open file %1: %2")
                                               .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    const QByteArray head = file.read(headBytes);
    file.close();
    // A structure script is text, not a document: offer to import its layers instead.
    if (!head.isEmpty() && !startsLikeDocument(head)) {
        if (MessageSink::current().askYesNo(
                QStringLiteral("%1 is a structure script, not a document. Import its layers into the "
                               "document shown (as File > Import Structure does)?")
                    .arg(QFileInfo(path).fileName())))
            return importScript(path);
        return false;
    }
    // Loading is all or nothing and replaces the structure shown.
    const tervane::IoResult loaded = tervane::loadDocumentFile(path.toStdString(), core);
    if (!succeeded(loaded))
        return false;
    runner_.stop();
    forgetViewState();
    nameFile(path);
    resetHistory();
    startSolve();
    QStringList notes; // what of the file's settings was skipped, said once the document is shown
    for (const std::string& note : loaded.notes)
        notes << QString::fromStdString(note);
    if (!notes.isEmpty())
        MessageSink::current().showMessage(notes.join(QLatin1Char('\n')));
    return true;
}

bool CTervaneDoc::saveTo(const QString& path)
{
    if (!succeeded(tervane::saveDocumentFile(path.toStdString(), core)))
        return false;
    nameFile(path);
    return true;
}

void CTervaneDoc::nameFile(const QString& path)
{
    pathName_ = path;
    undoStack_.setClean();
    emit titleChanged();
    emit fileUsed(path);
}

bool CTervaneDoc::fileSave()
{
    if (pathName_.isEmpty())
        return fileSaveAs();
    return saveTo(pathName_);
}

bool CTervaneDoc::fileSaveAs()
{
    const QString path = FileChooser::current().saveFileName(dialogParent(), QStringLiteral("Save As"));
    if (path.isEmpty())
        return false;
    return saveTo(path);
}

void CTervaneDoc::fileExport()
{
    finishSolve(); // the file holds the solution of the structure as it is
    const QString path = FileChooser::current().saveFileName(dialogParent(), QStringLiteral("Export"));
    if (path.isEmpty())
        return;
    // The export's own failure note goes to standard output; the user is told as well.
    if (!tervane::dumpFile(core.grid, path.toStdString(), tervane::solutionDensityMode(core)))
        MessageSink::current().showMessage(QString::fromLatin1(tervane::textCouldNotOpenFile));
}

void CTervaneDoc::fileExportCharges()
{
    finishSolve(); // the file holds the solution of the structure as it is
    const QString path =
        FileChooser::current().saveFileName(dialogParent(), QStringLiteral("Export Charges"));
    if (path.isEmpty())
        return;
    // A failure has told the user through the observer.
    static_cast<void>(tervane::exportCharges(core, path.toStdString(), *observer_));
}

void CTervaneDoc::importStructure()
{
    const QString path =
        FileChooser::current().openFileName(dialogParent(), QStringLiteral("Import Structure"));
    if (!path.isEmpty())
        importScript(path);
}

bool CTervaneDoc::importScript(const QString& path)
{
    std::vector<tervane::Layer> layers;
    if (!succeeded(tervane::readScriptFile(path.toStdString(), layers, *observer_)))
        return false;
    return edit(QStringLiteral("Import Structure"), [&] {
        core.layers.insert(core.layers.end(), layers.begin(), layers.end());
        return true;
    });
}

void CTervaneDoc::materialsSave()
{
    const QString path =
        FileChooser::current().saveFileName(dialogParent(), QStringLiteral("Save Materials"));
    if (path.isEmpty())
        return;
    const std::string file = path.toStdString();
    const auto format = tervane::materialsFormatOfName(file).value_or(tervane::MaterialsFormat::Binary);
    if (!succeeded(tervane::saveMaterials(file, core.materials, format)))
        return;
    savedMaterials_ = core.materials;
    emit titleChanged();
    if (app_)
        app_->setMaterialsFile(path);
}

void CTervaneDoc::materialsOpen()
{
    if (!saveModifiedMaterials())
        return;
    const QString path =
        FileChooser::current().openFileName(dialogParent(), QStringLiteral("Open Materials"));
    if (path.isEmpty())
        return;
    // A step of the history like any other change of the materials; no solve follows.
    bool loaded = false;
    edit(
        QStringLiteral("Open Materials"), [&] { return loaded = loadMaterials(path); }, false);
    if (loaded && app_)
        app_->setMaterialsFile(path);
}

bool CTervaneDoc::loadMaterials(const QString& path)
{
    // Either form; all or nothing. No solve follows; loading is not a step of the undo stack.
    if (!succeeded(tervane::loadMaterials(path.toStdString(), core.materials)))
        return false;
    savedMaterials_ = core.materials;
    emit titleChanged();
    return true;
}

void CTervaneDoc::cvProfile()
{
    CCvDialog dialog(dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The sweep starts from the solution of the structure as it is.
    finishSolve();
    const QString folder = outputFolder();
    if (!QDir().mkpath(folder)) {
        MessageSink::current().showMessage(
            QStringLiteral("Could not create the output folder %1.").arg(folder));
        return;
    }
    cvPath_ = QDir(folder).filePath(QStringLiteral("cv.out"));
    startJob(core, SolveRunner::Job::CvProfile,
             {dialog.start, dialog.stop, dialog.step, cvPath_.toStdString()});
}

QString CTervaneDoc::outputFolder() const
{
    const std::string& chosen = core.schroedingerSettings.dumpDirectory;
    if (!chosen.empty())
        return QString::fromStdString(chosen);
    if (pathName_.isEmpty())
        return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("Tervane"));
    const QFileInfo file(pathName_);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral(" output"));
}

void CTervaneDoc::prepareOutputFolder(tervane::Document& input) const
{
    tervane::SchroedingerSettings& settings = input.schroedingerSettings;
    if (!settings.eigenstateFiles || !input.schroedingerOn)
        return;
    const QString folder = outputFolder();
    QDir().mkpath(folder); // a folder that cannot be made is reported by the writer
    settings.dumpDirectory = folder.toStdString();
}

void CTervaneDoc::dumpEigenstates()
{
    if (!core.schroedingerOn)
        return;
    tervane::Document input = core;
    input.schroedingerSettings.eigenstateFiles = true;
    prepareOutputFolder(input);
    startJob(std::move(input), SolveRunner::Job::Solve, SolveRunner::CvRequest());
}

void CTervaneDoc::contacts()
{
    edit(QStringLiteral("Contacts"), [this] { return editSettings<CContactsDialog>(dialogParent(), core); });
}

void CTervaneDoc::chargeViewProperties()
{
    if (!edit(
            QStringLiteral("Charge View Properties"),
            [this] { return editSettings<CChargeViewPropertiesDialog>(dialogParent(), *this); }, false))
        return;
    repaintAllViews();
    emit updated();
}

void CTervaneDoc::exportFigure(const FigureOptions& shown)
{
    const QString path = FileChooser::current().saveFileName(dialogParent(), QStringLiteral("Export Figure"));
    if (path.isEmpty())
        return;
    FigureOptions options = shown;
    if (!editSettings<CExportFigureDialog>(dialogParent(), options))
        return;
    const QString failure = writeFigure(path, *this, options);
    if (!failure.isEmpty())
        MessageSink::current().showMessage(failure);
}

void CTervaneDoc::solverProperties()
{
    edit(QStringLiteral("Solver Properties"),
         [this] { return editSettings<CSolverPropertiesDialog>(dialogParent(), core); });
}

void CTervaneDoc::temperatureSettings()
{
    edit(QStringLiteral("Temperature"),
         [this] { return editSettings<CTemperatureDialog>(dialogParent(), core); });
}

void CTervaneDoc::toggle(const QString& name, bool& setting)
{
    edit(name, [&setting] {
        setting = !setting;
        return true;
    });
}

void CTervaneDoc::toggleSchroedinger()
{
    toggle(QStringLiteral("Schroedinger Correction"), core.schroedingerOn);
}

void CTervaneDoc::toggleValenceSchroedinger()
{
    toggle(QStringLiteral("Schroedinger (Valence Band)"), core.valenceSchroedingerOn);
}

void CTervaneDoc::togglePolarization()
{
    toggle(QStringLiteral("Polarization"), core.polarizationOn);
}

void CTervaneDoc::toggleFullyIonized()
{
    toggle(QStringLiteral("Fully Ionized"), core.fullyIonized);
}

void CTervaneDoc::solveNow()
{
    startSolve();
}

void CTervaneDoc::layersNew()
{
    edit(QStringLiteral("New Layer"),
         [this] { return ::layersNew(dialogParent(), core) == LayerEditResult::Changed; });
}

void CTervaneDoc::layersInsert()
{
    edit(QStringLiteral("Insert Layer"),
         [this] { return ::layersInsert(dialogParent(), core) == LayerEditResult::Changed; });
}

bool CTervaneDoc::insertLayerAt(int position)
{
    return edit(QStringLiteral("Insert Layer"), [this, position] {
        return ::insertLayerAt(dialogParent(), core, position) == LayerEditResult::Changed;
    });
}

void CTervaneDoc::setupMaterials()
{
    // The materials mark follows the materials themselves: OK without a change marks nothing.
    edit(QStringLiteral("Setup Materials"), [this] { return ::setupMaterials(dialogParent(), core); });
}

void CTervaneDoc::chooseSubstrate()
{
    edit(QStringLiteral("Substrate"), [this] { return ::chooseSubstrate(dialogParent(), core); });
}

void CTervaneDoc::editLayer(int index)
{
    // An index past the stack does nothing.
    edit(QStringLiteral("Edit Layer"),
         [this, index] { return ::editLayer(dialogParent(), core, index) == LayerEditResult::Changed; });
}

void CTervaneDoc::deleteLayer(int index)
{
    edit(QStringLiteral("Delete Layer"), [this, index] { return ::deleteLayer(core, index); });
}

void CTervaneDoc::copyLayer(int index)
{
    if (index < 0 || index >= static_cast<int>(core.layers.size()))
        return;
    const std::vector<tervane::Layer> layers{core.layers[static_cast<std::size_t>(index)]};
    const std::string bytes = tervane::encodeDocument(layers, tervane::ContactKind::Neutral, 0.0);
    auto* data = new QMimeData;
    data->setData(layersMimeType(), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    data->setText(
        QString::fromStdString(tervane::layerLabel(static_cast<std::size_t>(index), layers.front())));
    QGuiApplication::clipboard()->setMimeData(data);
}

void CTervaneDoc::cutLayer(int index)
{
    if (index < 0 || index >= static_cast<int>(core.layers.size()))
        return;
    copyLayer(index);
    edit(QStringLiteral("Cut Layer"), [this, index] { return ::deleteLayer(core, index); });
}

bool CTervaneDoc::clipboardHasLayers()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(layersMimeType());
}

void CTervaneDoc::pasteLayers(int position)
{
    if (!clipboardHasLayers())
        return;
    const QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data(layersMimeType());
    tervane::DocumentFileContents contents;
    if (!succeeded(tervane::decodeDocument(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), contents)))
        return;
    const int at = std::clamp(position, 0, static_cast<int>(core.layers.size()));
    edit(QStringLiteral("Paste Layers"), [&] {
        core.layers.insert(core.layers.begin() + at, contents.layers.begin(), contents.layers.end());
        return !contents.layers.empty();
    });
}

bool CTervaneDoc::openDroppedFile(const QString& path)
{
    // Materials by their name (".toml", ".tvm"), documents by their first bytes, scripts otherwise.
    if (!tervane::materialsFormatOfName(path.toStdString())) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && startsLikeDocument(file.read(headBytes)))
            return saveModified() && openDocument(path);
        return importScript(path);
    }
    if (!saveModifiedMaterials())
        return false;
    bool loaded = false;
    edit(
        QStringLiteral("Open Materials"), [&] { return loaded = loadMaterials(path); }, false);
    if (!loaded)
        return false;
    if (app_)
        app_->setMaterialsFile(path);
    startSolve();
    return true;
}

void CTervaneDoc::setChargeRange(double from, double to)
{
    core.chargeView.rangeFrom = std::min(from, to);
    core.chargeView.rangeTo = std::max(from, to);
    if (hasChargeRange())
        tervane::setChargeRangeByDepth(core, core.chargeView.rangeFrom, core.chargeView.rangeTo);
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->update();
    emit updated();
}

void CTervaneDoc::setCursor(double n, double classicalN, double p, double x)
{
    cursorN = n;
    cursorClassicalN = classicalN;
    cursorP = p;
    cursorX = x;
    emit cursorChanged();
}

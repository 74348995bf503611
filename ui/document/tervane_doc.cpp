#include "ui/document/tervane_doc.h"

#include <QFileInfo>
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

// The engine's messages become message boxes; its progress points repaint every view at once.
namespace {

// Whether a file operation succeeded; the user is shown why when it did not.
bool succeeded(const tervane::IoResult& result)
{
    if (!result)
        MessageSink::current().showMessage(QString::fromStdString(result.message));
    return result.ok;
}

} // namespace

class CTervaneDoc::EngineObserver : public tervane::Observer {
  public:
    explicit EngineObserver(CTervaneDoc& doc) : doc_(doc) {}
    void message(const std::string& text) override
    {
        MessageSink::current().showMessage(QString::fromStdString(text));
    }
    void progress() override { doc_.repaintAllViews(); }
    void updateAll() override { doc_.updateAllViews(); }

  private:
    CTervaneDoc& doc_;
};

CTervaneDoc::CTervaneDoc(CTervaneApp* app, QObject* parent)
    : QObject(parent), app_(app), observer_(std::make_unique<EngineObserver>(*this))
{
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

void CTervaneDoc::setModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit titleChanged();
}

void CTervaneDoc::setMaterialsModified(bool modified)
{
    if (materialsModified_ == modified)
        return;
    materialsModified_ = modified;
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
        core.chargeView.lower = core.chargeView.logScale ? fallbackLower : 0.0;
        core.chargeView.upper = core.chargeView.logScale ? fallbackUpper : fallbackUpper * 1e-6;
        return;
    }
    core.chargeView.upper = largest;
    if (core.chargeView.logScale)
        core.chargeView.lower = std::max(smallestPositive, largest * std::pow(10.0, -autoScaleDecades));
    else
        core.chargeView.lower = 0.0;
    if (core.chargeView.lower >= core.chargeView.upper)
        core.chargeView.lower = core.chargeView.logScale ? core.chargeView.upper / equalLimitsSpread : 0.0;
}

void CTervaneDoc::chargeLimits(double& lower, double& upper, QString* note) const
{
    lower = core.chargeView.lower;
    upper = core.chargeView.upper;
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
    core.chargeView.rangeFrom = core.chargeView.rangeTo = 0.0;
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
    followSolution();
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->update();
    emit updated();
}

bool CTervaneDoc::solve()
{
    ++solveCount_;
    const bool ran = tervane::solve(core, *observer_);
    // A solve that stopped early updates nothing in the engine; the views still show what the grid
    // holds now.
    if (!ran)
        updateAllViews();
    return ran;
}

QString CTervaneDoc::solverStatusText() const
{
    QString text = QString::fromStdString(tervane::statusLine(core));
    // Without a range there is no sheet density to show.
    const qsizetype ns = text.indexOf(QStringLiteral(" ns:"));
    if (!hasChargeRange() && ns >= 0)
        text = text.left(ns) + QStringLiteral(" ns: drag across the charge view");
    return text;
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
    if (modified_) {
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
    if (!materialsModified_)
        return true;
    const auto choice =
        MessageSink::current().askSaveChanges(QStringLiteral("Save changes to the materials?"));
    if (choice == MessageSink::SaveChoice::Cancel)
        return false;
    if (choice == MessageSink::SaveChoice::Save)
        materialsSave();
    return !materialsModified_ || choice == MessageSink::SaveChoice::Discard;
}

bool CTervaneDoc::fileNew()
{
    if (!saveModified())
        return false;
    core.newDocument();
    forgetViewState();
    pathName_.clear();
    modified_ = false;
    emit titleChanged();
    updateAllViews();
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
    // Loading is all or nothing and replaces the structure shown.
    const tervane::IoResult loaded = tervane::loadDocumentFile(path.toStdString(), core);
    if (!succeeded(loaded))
        return false;
    forgetViewState();
    nameFile(path);
    solve();
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
    modified_ = false;
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
    const QString path = FileChooser::current().saveFileName(dialogParent(), QStringLiteral("Export"));
    if (path.isEmpty())
        return;
    // The export's own failure note goes to standard output; the user is told as well.
    if (!tervane::dumpFile(core.grid, path.toStdString(), tervane::solutionDensityMode(core)))
        MessageSink::current().showMessage(QString::fromLatin1(tervane::textCouldNotOpenFile));
}

void CTervaneDoc::fileExportCharges()
{
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
    if (path.isEmpty())
        return;
    std::vector<tervane::Layer> layers;
    if (!succeeded(tervane::readScriptFile(path.toStdString(), layers, *observer_)))
        return;
    core.layers.insert(core.layers.end(), layers.begin(), layers.end());
    structureEdited(true);
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
    setMaterialsModified(false);
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
    if (loadMaterials(path) && app_)
        app_->setMaterialsFile(path);
}

bool CTervaneDoc::loadMaterials(const QString& path)
{
    // Either form; all or nothing. No solve follows.
    if (!succeeded(tervane::loadMaterials(path.toStdString(), core.materials)))
        return false;
    setMaterialsModified(false);
    return true;
}

void CTervaneDoc::cvProfile()
{
    CCvDialog dialog(dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    tervane::runCvProfile(core, dialog.start, dialog.stop, dialog.step, "cv.out", *observer_);
}

void CTervaneDoc::contacts()
{
    structureEdited(editSettings<CContactsDialog>(dialogParent(), core));
}

void CTervaneDoc::chargeViewProperties()
{
    if (!editSettings<CChargeViewPropertiesDialog>(dialogParent(), *this))
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
    editSettings<CSolverPropertiesDialog>(dialogParent(), core);
}

void CTervaneDoc::temperatureSettings()
{
    if (editSettings<CTemperatureDialog>(dialogParent(), core))
        solve();
}

void CTervaneDoc::toggle(bool& setting)
{
    setting = !setting;
    solve();
}

void CTervaneDoc::toggleSchroedinger()
{
    toggle(core.schroedingerOn);
}

void CTervaneDoc::toggleValenceSchroedinger()
{
    toggle(core.valenceSchroedingerOn);
}

void CTervaneDoc::togglePolarization()
{
    toggle(core.polarizationOn);
}

void CTervaneDoc::toggleFullyIonized()
{
    toggle(core.fullyIonized);
}

void CTervaneDoc::solveNow()
{
    solve();
}

void CTervaneDoc::structureEdited(bool changed)
{
    if (!changed)
        return;
    setModified(true);
    solve();
}

void CTervaneDoc::layersNew()
{
    structureEdited(::layersNew(dialogParent(), core) == LayerEditResult::Changed);
}

void CTervaneDoc::layersInsert()
{
    structureEdited(::layersInsert(dialogParent(), core) == LayerEditResult::Changed);
}

void CTervaneDoc::setupMaterials()
{
    if (!::setupMaterials(dialogParent(), core))
        return;
    setMaterialsModified(true);
    solve();
}

void CTervaneDoc::chooseSubstrate()
{
    if (::chooseSubstrate(dialogParent(), core))
        solve();
}

void CTervaneDoc::editLayer(int index)
{
    // An index past the stack does nothing.
    structureEdited(::editLayer(dialogParent(), core, index) == LayerEditResult::Changed);
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

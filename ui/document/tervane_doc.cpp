#include "ui/document/tervane_doc.h"

#include <QFileInfo>
#include <QWidget>
#include <cstdio>

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
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/solver_properties_dialog.h"
#include "ui/dialogs/temperature_dialog.h"
#include "ui/document/file_chooser.h"
#include "ui/document/layer_editing.h"
#include "ui/document/materials_editing.h"
#include "ui/document/message_sink.h"
#include "ui/document/tervane_app.h"

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

void CTervaneDoc::updateChargeScale()
{
    const tervane::Grid& grid = core.grid;
    if (!autoScale || grid.count <= 0)
        return;
    chargeLower = 1e40;
    chargeUpper = 0;
    for (int i = 0; i + 1 < grid.count; ++i) { // the last point is not scanned
        const double n = grid.point(i).electronDensity(grid.modeAt(i));
        if (n > chargeUpper)
            chargeUpper = n;
        if (n < chargeLower)
            chargeLower = n;
    }
    if (chargeLower < 1e19)
        chargeLower = 1e19;
}

void CTervaneDoc::repaintAllViews()
{
    updateChargeScale();
    for (const QPointer<QWidget>& view : views_)
        if (view)
            view->repaint();
}

void CTervaneDoc::updateAllViews()
{
    updateChargeScale();
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
    return QString::fromStdString(tervane::statusLine(core));
}

QString CTervaneDoc::cursorStatusText() const
{
    return QString::asprintf("n: %.3e\tp: %.3e\tx: %d", cursorN * 1e-6, cursorP * 1e-6,
                             static_cast<int>(cursorX * 1e10));
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
    if (!succeeded(tervane::loadDocumentFile(path.toStdString(), core)))
        return false;
    nameFile(path);
    solve();
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
    if (editSettings<CChargeViewPropertiesDialog>(dialogParent(), *this))
        repaintAllViews();
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

void CTervaneDoc::setChargeRange(int first, int last)
{
    tervane::setChargeRange(core, first, last);
    emit updated();
}

void CTervaneDoc::setCursor(double n, double p, double x)
{
    cursorN = n;
    cursorP = p;
    cursorX = x;
    emit cursorChanged();
}

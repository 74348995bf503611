#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "engine/bound_state_curves.h"
#include "engine/document.h"
#include "model/observer.h"
#include "ui/views/depth_window.h"

class CTervaneApp;
struct FigureOptions;

// The single document of the program: owns the structure, the materials, the settings and the last
// solution (a tervane::Document), and handles every command of the menus that acts on them. Views
// read `core` when they paint; only commands write it.
class CTervaneDoc : public QObject {
    Q_OBJECT

  public:
    explicit CTervaneDoc(CTervaneApp* app = nullptr, QObject* parent = nullptr);
    ~CTervaneDoc() override;

    tervane::Document core;

    // How the charge view shows the densities and its sheet-density range: core.chargeView, kept
    // with the structure in the document file.
    // The charge view's cursor read-out: densities (m^-3) and depth (m) under the mouse. cursorN is
    // the density the sheet density integrates (bound electrons where the solution has them),
    // cursorClassicalN the classical one.
    double cursorN = 0.0;
    double cursorClassicalN = 0.0;
    double cursorP = 0.0;
    double cursorX = 0.0;
    // The depth range both plots show.
    tervane::DepthWindow depthWindow;
    // Whether a sheet-density range is chosen (core.chargeView.rangeFrom/rangeTo, m, kept across
    // resizes and solves).
    bool hasChargeRange() const { return core.chargeView.rangeTo > core.chargeView.rangeFrom; }
    // Whether the band diagram draws the bound states, and the states it draws (found again after
    // every solve with the Schroedinger switch on).
    bool showBoundStates = true;
    std::vector<tervane::BoundStateCurve> boundStates;

    // With autoScale, sets the charge-view limits to the range of the electron density the sheet
    // density integrates over the depths shown (never inverted: the upper limit above the lower,
    // the lower positive on a log scale); called whenever the solution or the depths shown change.
    void updateChargeScale();
    // The limits the charge view draws (m^-3): the stored ones, or, where those cannot be drawn (a
    // log scale from a limit that is not positive, limits in the wrong order or equal), limits that
    // can, with a sentence saying what was changed in `note`.
    void chargeLimits(double& lower, double& upper, QString* note = nullptr) const;

    // The views repainted at the engine's progress points and updated after every solve.
    void addView(QWidget* view);
    // The window that parents dialogs.
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    // File name shown in the title; empty for a new document.
    QString pathName() const { return pathName_; }
    QString title() const;
    bool isModified() const { return modified_; }
    bool materialsModified() const { return materialsModified_; }
    void setModified(bool modified);
    void setMaterialsModified(bool modified);
    // Counts solves, so a view can tell whether what it painted is the current grid.
    int solveCount() const { return solveCount_; }
    // The depth of every grid point (m from the left contact), kept from one paint to the next while
    // the solve and the point count stay the same.
    const std::vector<double>& depths() const;

    // Asks "Save changes to <name>?" when structure or materials edits are unsaved. False when the
    // user cancelled (or a save failed) and the command must not go on.
    bool saveModified();

    // Commands. Each that changes the structure or the physics ends with one solve.
    bool fileNew();
    bool fileOpen();
    bool openDocument(const QString& path);
    bool fileSave();
    bool fileSaveAs();
    void fileExport();
    void fileExportCharges();
    void importStructure();
    void materialsSave();
    void materialsOpen();
    bool loadMaterials(const QString& path);
    void cvProfile();
    void contacts();
    void chargeViewProperties();
    // File > Export Figure...: a file name, then the size (starting from `shown`), then the file.
    void exportFigure(const FigureOptions& shown);
    void solverProperties();
    void temperatureSettings();
    void toggleSchroedinger();
    void toggleValenceSchroedinger();
    void togglePolarization();
    void toggleFullyIonized();
    void solveNow();
    void layersNew();
    void setupMaterials();
    void chooseSubstrate();
    void layersInsert();
    void editLayer(int index);

    // Charge view: the sheet-density range (m from the left contact, either order) and the cursor
    // read-out.
    void setChargeRange(double from, double to);
    void setCursor(double n, double classicalN, double p, double x);

    // Zoom and pan, shared by both plots: `factor` < 1 zooms in about `depth` (m).
    void zoomAbout(double depth, double factor);
    void showDepths(double from, double to);
    void zoomToFit();
    void zoomIn();
    void zoomOut();
    void zoomToChargeRange();
    void pan(double delta);
    void toggleBoundStates();

    // Runs the solve driver; messages become message boxes, progress repaints the views.
    bool solve();

    // "Solver error: ..." and "n: ...\tp: ...\tx: ..." as the status panes show them.
    QString solverStatusText() const;
    QString cursorStatusText() const;

  signals:
    // After every solve and every change the views must show.
    void updated();
    // Title, modified state or file name changed.
    void titleChanged();
    // The cursor read-out changed.
    void cursorChanged();
    // The depths shown changed.
    void depthWindowChanged();
    // A document was opened or saved under a name (for the recent-file list).
    void fileUsed(const QString& path);

  private:
    class EngineObserver;
    bool saveTo(const QString& path);
    // The document is the file at `path` now: unmodified, titled and listed among the recent files.
    void nameFile(const QString& path);
    bool saveModifiedMaterials();
    // Marks the structure modified and solves it when a command changed it.
    void structureEdited(bool changed);
    // Turns a solver switch over and solves.
    void toggle(bool& setting);
    void repaintAllViews();
    void updateAllViews();
    // The depth window, bound states and sheet-density range brought to the grid just solved.
    void followSolution();
    void depthWindowMoved();
    // Another structure: the whole of it shown, no range selected.
    void forgetViewState();
    QWidget* dialogParent() const { return mainWindow_; }

    CTervaneApp* app_;
    std::unique_ptr<EngineObserver> observer_;
    QList<QPointer<QWidget>> views_;
    QPointer<QWidget> mainWindow_;
    QString pathName_;
    bool modified_ = false;
    bool materialsModified_ = false;
    int solveCount_ = 0;
    int followedSolve_ = -1;
    mutable std::vector<double> depths_;
    mutable int depthsSolve_ = -1; // the solve followSolution() last brought the window state to
};

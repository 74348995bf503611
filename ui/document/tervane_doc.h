#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <memory>

#include "engine/bound_state_curves.h"
#include "engine/document.h"
#include "model/observer.h"
#include "ui/document/document_edit.h"
#include "ui/document/solve_runner.h"
#include "ui/views/depth_window.h"

class CTervaneApp;
struct FigureOptions;

// The single document of the program: owns the structure, the materials, the settings and the last
// solution (a tervane::Document), and handles every command of the menus that acts on them. Views
// read `core` when they paint; only commands write it.
//
// Every change the user makes goes through edit(): it becomes a step of the undo stack, and the
// document is modified exactly when the stack is not at its clean state. Solves run on a worker
// (SolveRunner) with a copy of `core`; the window's thread only starts them and takes the finished
// grid and status back in one step (takeResult), so the views always show a whole solution.
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

    // With autoScale, sets the limits the charge view draws to the range of the electron density the sheet
    // density integrates over the depths shown (never inverted: the upper limit above the lower,
    // the lower positive on a log scale); called whenever the solution or the depths shown change.
    void updateChargeScale();
    // The limits the charge view draws (m^-3): the stored ones, or, where those cannot be drawn (a
    // log scale from a limit that is not positive, limits in the wrong order or equal), limits that
    // can, with a sentence saying what was changed in `note`.
    void chargeLimits(double& lower, double& upper, QString* note = nullptr) const;

    // The views updated after every solve and every change they show.
    void addView(QWidget* view);
    // The window that parents dialogs.
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    // File name shown in the title; empty for a new document.
    QString pathName() const { return pathName_; }
    QString title() const;
    bool isModified() const { return !undoStack_.isClean(); }
    // The materials differ from the ones last opened or saved as a materials file.
    bool materialsModified() const { return core.materials != savedMaterials_; }
    QUndoStack* undoStack() { return &undoStack_; }
    // Counts solves, so a view can tell whether what it painted is the current grid.
    int solveCount() const { return solveCount_; }
    // The depth of every grid point (m from the left contact), kept from one paint to the next while
    // the solve and the point count stay the same.
    const std::vector<double>& depths() const;

    // Asks "Save changes to <name>?" when structure or materials edits are unsaved. False when the
    // user cancelled (or a save failed) and the command must not go on.
    bool saveModified();

    // Makes a change as one step of the undo stack named `name`: `change` edits `core` and returns
    // whether the user confirmed it; a change that leaves the document as it was adds no step. With
    // `solveAfter` the structure is solved again after the change and after undoing or redoing it.
    bool edit(const QString& name, const std::function<bool()>& change, bool solveAfter = true);

    // The folder the eigenstate files and the C-V profile go to: the one chosen in Solver Properties,
    // or else the folder "<name> output" beside the document (Documents/Tervane for a new one).
    QString outputFolder() const;

    // Background solves. solve() starts one and waits for its result (for tests and the headless
    // figure); commands call startSolve(), which returns at once.
    void startSolve();
    bool solve();
    // Waits for the solve in progress and shows its result.
    void finishSolve();
    bool solving() const;
    // Esc and the Stop button: the solve in progress ends and its result is dropped; the last finished
    // solution stays on screen. False when nothing was running.
    bool stopSolve();
    // The solution shown was computed for the structure, materials and settings as they are now.
    bool solutionIsCurrent() const;
    // The last solve failed: no grid is shown and the status says why.
    bool solveFailed() const { return solveFailed_; }
    // "Solving: Schroedinger pass 12, error 3.20e-04 V" while a solve runs, else empty.
    QString progressText() const { return progressText_; }

    // Layers in the layer list: the clipboard holds them as a document file's bytes.
    bool insertLayerAt(int position);
    void deleteLayer(int index);
    void copyLayer(int index);
    void cutLayer(int index);
    // Inserts the layers on the clipboard at `position` (0 to the number of layers).
    void pasteLayers(int position);
    static bool clipboardHasLayers();
    // Imports the layers of a structure script, as File > Import Structure does.
    bool importScript(const QString& path);
    // A dropped file: a document is opened, a script imported, a materials file loaded.
    bool openDroppedFile(const QString& path);

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
    void dumpEigenstates();
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
    // Where a solve is, for the status bar; empty when none runs.
    void solveProgress(const QString& text);
    // A C-V sweep's biases done of `total`; done < 0 when it ended.
    void cvProgress(int done, int total);
    // A sentence for the status bar (where files went, a stopped solve).
    void statusMessage(const QString& text);

  private:
    class EngineObserver;
    bool saveTo(const QString& path);
    // The document is the file at `path` now: unmodified, titled and listed among the recent files.
    void nameFile(const QString& path);
    bool saveModifiedMaterials();
    // Turns a solver switch over and solves.
    void toggle(const QString& name, bool& setting);
    // Puts an undo step's state back.
    void applyState(const DocumentState& state, bool solveAfter);
    // A new or opened document: nothing to undo, unmodified.
    void resetHistory();
    void startJob(tervane::Document input, SolveRunner::Job job, SolveRunner::CvRequest cv);
    void showProgress(const tervane::SolveProgress& where, SolveRunner::Job job);
    void takeResult(SolveRunner::Result&& result);
    void prepareOutputFolder(tervane::Document& input) const;
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
    QUndoStack undoStack_;
    std::vector<tervane::Material> savedMaterials_;
    SolveRunner runner_;
    SolveRunner::Job runningJob_ = SolveRunner::Job::Solve;
    DocumentState runningState_; // the solution key of the job under way
    DocumentState shownState_;   // and of the solution shown
    bool solveFailed_ = false;
    QString failure_;
    QString progressText_;
    QString cvPath_;
    double autoLower_ = 1e21; // m^-3, the limits auto scale chose
    double autoUpper_ = 1e26;
    int solveCount_ = 0;
    int followedSolve_ = -1;
    int boundStatesSolve_ = -1; // the solve whose bound states came with its result
    mutable std::vector<double> depths_;
    mutable int depthsSolve_ = -1; // the solve followSolution() last brought the window state to
};

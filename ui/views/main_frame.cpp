#include "ui/views/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "ui/dialogs/about_dialog.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/charge_view.h"
#include "ui/views/command_icons.h"
#include "ui/views/elided_label.h"
#include "ui/views/figure.h"
#include "ui/views/layer_view.h"
#include "ui/views/tervane_view.h"

namespace {

// The scroll bar's steps across the whole structure.
constexpr int scrollResolution = 10000;
// The status panes' shares of the window's width; the rest is left to the status messages.
constexpr int solverPaneShare = 38; // %
constexpr int cursorPaneShare = 34;
// How long a status-bar sentence (where files went) stays.
constexpr int statusMessageMs = 20000;

// Where the window's size and splitters are kept between runs.
QSettings windowSettings()
{
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Tervane"));
}

} // namespace

CMainFrame::CMainFrame(CTervaneApp* app, CTervaneDoc* doc, QWidget* parent)
    : QMainWindow(parent), app_(app), doc_(doc), printer_(std::make_unique<QPrinter>())
{
    doc_->setMainWindow(this);
    buildPanes();
    buildMenus();
    buildToolBar();
    buildStatusBar();

    connect(doc_, &CTervaneDoc::updated, this, [this] {
        updateStatusPanes();
        updateCommandStates();
    });
    connect(doc_, &CTervaneDoc::cursorChanged, this, &CMainFrame::updateCursorPane);
    connect(doc_, &CTervaneDoc::depthWindowChanged, this, [this] {
        updateScrollBar();
        updateCommandStates();
    });
    connect(doc_, &CTervaneDoc::titleChanged, this, [this] {
        updateTitle();
        updateCommandStates();
    });
    connect(doc_, &CTervaneDoc::solveProgress, this, &CMainFrame::showSolveProgress);
    connect(doc_, &CTervaneDoc::cvProgress, this, &CMainFrame::showCvProgress);
    connect(doc_, &CTervaneDoc::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text, statusMessageMs); });
    QUndoStack* undo = doc_->undoStack();
    connect(undo, &QUndoStack::indexChanged, this, &CMainFrame::updateCommandStates);
    connect(undo, &QUndoStack::cleanChanged, this, &CMainFrame::updateTitle);
    if (app_) {
        connect(doc_, &CTervaneDoc::fileUsed, app_, &CTervaneApp::addRecentFile);
        connect(app_, &CTervaneApp::recentFilesChanged, this, &CMainFrame::updateRecentFiles);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == layerView_ || now == tervaneView_ || now == chargeView_)
            setActiveView(now);
    });
    setActiveView(layerView_);
    updateRecentFiles();
    updateTitle();
    updateCommandStates();
    resize(1000, 700);
    setAcceptDrops(true);
    restoreWindowState();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text, const QString& prompt)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    if (!prompt.isEmpty())
        action->setStatusTip(prompt);
    if (menu)
        menu->addAction(action);
    actions_.insert(id, action);
    return action;
}

void CMainFrame::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addCommand(file, idFileNew, QStringLiteral("&New\tCtrl+N"), QStringLiteral("Create a new document"));
    addCommand(file, idFileOpen, QStringLiteral("&Open...\tCtrl+O"),
               QStringLiteral("Open an existing document"));
    addCommand(file, idFileSave, QStringLiteral("&Save\tCtrl+S"), QStringLiteral("Save the active document"));
    addCommand(file, idFileSaveAs, QStringLiteral("Save &As..."),
               QStringLiteral("Save the active document with a new name"));
    addCommand(file, idFileExport, QStringLiteral("Export..."),
               QStringLiteral("Write the band profile to a text file"));
    addCommand(file, idFileExportCharges, QStringLiteral("Export &Charges..."),
               QStringLiteral("Write the interface polarization charges to a text file"));
    addCommand(file, idFileExportFigure, QStringLiteral("Export &Figure..."),
               QStringLiteral("Write both plots as shown to a PNG, SVG or PDF file"));
    addCommand(file, idFileDumpEigenstates, QStringLiteral("&Dump Eigenstates"));
    addCommand(file, idFileImportStructure, QStringLiteral("&Import Structure..."),
               QStringLiteral("Append the layers of a structure script"));
    addCommand(file, idFilePrint, QStringLiteral("&Print...\tCtrl+P"),
               QStringLiteral("Print the active document"));
    addCommand(file, idFilePrintPreview, QStringLiteral("Print Pre&view"),
               QStringLiteral("Display full pages"));
    addCommand(file, idFilePrintSetup, QStringLiteral("P&rint Setup..."),
               QStringLiteral("Change the printer and printing options"));
    recentSeparator_ = file->addSeparator();
    for (int i = 0; i < CTervaneApp::recentFileCount; ++i) {
        QAction* recent =
            addCommand(file, idFileMruFirst + i, QString(), QStringLiteral("Open this document"));
        recent->setVisible(false);
        recentActions_.append(recent);
        connect(recent, &QAction::triggered, this, [this, recent] {
            const QString path = recent->data().toString();
            if (doc_->saveModified() && !doc_->openDocument(path) && app_)
                app_->removeRecentFile(path);
        });
    }
    file->addSeparator();
    addCommand(file, idAppExit, QStringLiteral("E&xit"),
               QStringLiteral("Quit the application; prompts to save documents"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    addCommand(edit, idEditUndo, QStringLiteral("&Undo\tCtrl+Z"), QStringLiteral("Undo the last action"));
    addCommand(edit, idEditRedo, QStringLiteral("&Redo\tCtrl+Shift+Z"),
               QStringLiteral("Redo the action undone last"));
    edit->addSeparator();
    addCommand(edit, idEditCut, QStringLiteral("Cu&t\tCtrl+X"),
               QStringLiteral("Cut the selection and put it on the Clipboard"));
    addCommand(edit, idEditCopy, QStringLiteral("&Copy\tCtrl+C"),
               QStringLiteral("Copy the selection and put it on the Clipboard"));
    addCommand(edit, idEditPaste, QStringLiteral("&Paste\tCtrl+V"),
               QStringLiteral("Insert the layers on the Clipboard after the selected layer"));
    addCommand(edit, idEditDelete, QStringLiteral("&Delete\tDel"),
               QStringLiteral("Delete the selected layer"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    addCommand(view, idViewToolbar, QStringLiteral("&Toolbar"), QStringLiteral("Show or hide the toolbar"));
    addCommand(view, idViewStatusBar, QStringLiteral("&Status Bar"),
               QStringLiteral("Show or hide the status bar"));
    addCommand(view, idViewChargeProperties, QStringLiteral("Charge &View Properties..."));
    view->addSeparator();
    addCommand(view, idViewZoomIn, QStringLiteral("Zoom &In\tCtrl++"),
               QStringLiteral("Show half the depths"));
    addCommand(view, idViewZoomOut, QStringLiteral("Zoom &Out\tCtrl+-"),
               QStringLiteral("Show twice the depths"));
    addCommand(view, idViewZoomToFit, QStringLiteral("Zoom to &Fit\tCtrl+0"),
               QStringLiteral("Show the whole structure"));
    addCommand(view, idViewZoomToRange, QStringLiteral("Zoom to Selected &Range"),
               QStringLiteral("Show the sheet-density range selected in the charge view"));
    view->addSeparator();
    addCommand(view, idViewBoundStates, QStringLiteral("&Bound States"),
               QStringLiteral("Show each bound state's level and |psi|^2 in the band diagram"))
        ->setCheckable(true);

    QMenu* layers = menuBar()->addMenu(QStringLiteral("&Layers"));
    addCommand(layers, idLayersNew, QStringLiteral("&New..."));
    addCommand(layers, idLayersInsert, QStringLiteral("&Insert..."));
    addCommand(layers, idLayersInsertBefore, QStringLiteral("Insert &Before Selected..."),
               QStringLiteral("Insert a new layer in front of the selected layer"));
    addCommand(layers, idLayersInsertAfter, QStringLiteral("Insert &After Selected..."),
               QStringLiteral("Insert a new layer after the selected layer"));
    addCommand(layers, idLayersEdit, QStringLiteral("&Edit Selected...\tEnter"),
               QStringLiteral("Open the properties of the selected layer"));
    addCommand(layers, idLayersContacts, QStringLiteral("&Contacts..."));
    addCommand(layers, idLayersCvProfile, QStringLiteral("&CV Profile..."));

    QMenu* materials = menuBar()->addMenu(QStringLiteral("&Materials"));
    addCommand(materials, idMaterialsSetup, QStringLiteral("Setup &Materials..."));
    addCommand(materials, idMaterialsSave, QStringLiteral("&Save..."));
    addCommand(materials, idMaterialsOpen, QStringLiteral("&Open..."));

    QMenu* setup = menuBar()->addMenu(QStringLiteral("&Setup"));
    addCommand(setup, idSetupTemperature, QStringLiteral("&Temperature..."));
    addCommand(setup, idSetupSchroedinger, QStringLiteral("&Schroedinger Correction"))->setCheckable(true);
    addCommand(setup, idSetupValence, QStringLiteral("Schroedinger (valence band)"))->setCheckable(true);
    addCommand(setup, idSetupPolarization, QStringLiteral("&Polarization"))->setCheckable(true);
    addCommand(setup, idSetupFullyIonized, QStringLiteral("Fully &Ionized"))->setCheckable(true);
    addCommand(setup, idSetupSubstrate, QStringLiteral("Subs&trate..."));
    addCommand(setup, idSetupSolverProperties, QStringLiteral("So&lver Properties..."));
    addCommand(setup, idSetupSolveNow, QStringLiteral("Solve &Now\tF5"),
               QStringLiteral("Solve the structure"));
    addCommand(setup, idSetupStop, QStringLiteral("S&top Solving\tEsc"),
               QStringLiteral("Stop the solve in progress and keep the last finished solution"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, idAppAbout, QStringLiteral("&About Tervane..."),
               QStringLiteral("Display program information, version number and copyright"));

    // Pane switching has accelerators but no menu item.
    addAction(addCommand(nullptr, idNextPane, QStringLiteral("Next Pane"),
                         QStringLiteral("Switch to the next window pane")));
    addAction(addCommand(nullptr, idPrevPane, QStringLiteral("Previous Pane"),
                         QStringLiteral("Switch back to the previous window pane")));

    // Accelerators.
    action(idFileNew)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    action(idFileOpen)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action(idFileSave)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action(idFilePrint)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    action(idEditUndo)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    action(idEditRedo)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    action(idEditDelete)->setShortcut(QKeySequence(Qt::Key_Delete));
    action(idSetupSolveNow)->setShortcut(QKeySequence(Qt::Key_F5));
    action(idSetupStop)->setShortcut(QKeySequence(Qt::Key_Escape));
    action(idEditCut)->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    action(idEditCopy)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    action(idEditPaste)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    action(idViewZoomIn)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    action(idViewZoomOut)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    action(idViewZoomToFit)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    action(idNextPane)->setShortcut(QKeySequence(Qt::Key_F6));
    action(idPrevPane)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));

    // Handlers.
    connect(action(idFileNew), &QAction::triggered, doc_, &CTervaneDoc::fileNew);
    connect(action(idFileOpen), &QAction::triggered, doc_, &CTervaneDoc::fileOpen);
    connect(action(idFileSave), &QAction::triggered, doc_, &CTervaneDoc::fileSave);
    connect(action(idFileSaveAs), &QAction::triggered, doc_, &CTervaneDoc::fileSaveAs);
    connect(action(idFileExport), &QAction::triggered, doc_, &CTervaneDoc::fileExport);
    connect(action(idFileExportCharges), &QAction::triggered, doc_, &CTervaneDoc::fileExportCharges);
    connect(action(idFileImportStructure), &QAction::triggered, doc_, &CTervaneDoc::importStructure);
    connect(action(idFileExportFigure), &QAction::triggered, this,
            [this] { doc_->exportFigure(shownFigure()); });
    connect(action(idFilePrint), &QAction::triggered, this, &CMainFrame::print);
    connect(action(idEditUndo), &QAction::triggered, doc_->undoStack(), &QUndoStack::undo);
    connect(action(idEditRedo), &QAction::triggered, doc_->undoStack(), &QUndoStack::redo);
    // In the layer list Cut, Copy and Paste act on layers; elsewhere Copy takes the figure.
    connect(action(idEditCopy), &QAction::triggered, this, [this] {
        if (activeView_ == layerView_)
            doc_->copyLayer(layerView_->currentLayer());
        else
            copyFigure();
    });
    connect(action(idEditCut), &QAction::triggered, this,
            [this] { doc_->cutLayer(layerView_->currentLayer()); });
    connect(action(idEditPaste), &QAction::triggered, this, [this] { doc_->pasteLayers(insertionPoint()); });
    connect(action(idEditDelete), &QAction::triggered, this,
            [this] { doc_->deleteLayer(layerView_->currentLayer()); });
    connect(action(idLayersInsertBefore), &QAction::triggered, this, [this] {
        const int at = std::max(0, layerView_->currentLayer());
        if (doc_->insertLayerAt(at))
            layerView_->setCurrentLayer(at);
    });
    connect(action(idLayersInsertAfter), &QAction::triggered, this, [this] {
        const int at = insertionPoint();
        if (doc_->insertLayerAt(at))
            layerView_->setCurrentLayer(at);
    });
    connect(action(idLayersEdit), &QAction::triggered, this,
            [this] { doc_->editLayer(layerView_->currentLayer()); });
    connect(action(idSetupStop), &QAction::triggered, doc_, &CTervaneDoc::stopSolve);
    connect(action(idFileDumpEigenstates), &QAction::triggered, doc_, &CTervaneDoc::dumpEigenstates);
    connect(action(idViewZoomIn), &QAction::triggered, doc_, &CTervaneDoc::zoomIn);
    connect(action(idViewZoomOut), &QAction::triggered, doc_, &CTervaneDoc::zoomOut);
    connect(action(idViewZoomToFit), &QAction::triggered, doc_, &CTervaneDoc::zoomToFit);
    connect(action(idViewZoomToRange), &QAction::triggered, doc_, &CTervaneDoc::zoomToChargeRange);
    connect(action(idViewBoundStates), &QAction::triggered, doc_, &CTervaneDoc::toggleBoundStates);
    connect(action(idFilePrintPreview), &QAction::triggered, this, &CMainFrame::printPreview);
    connect(action(idFilePrintSetup), &QAction::triggered, this, &CMainFrame::printSetup);
    connect(action(idAppExit), &QAction::triggered, this, &QWidget::close);
    connect(action(idViewToolbar), &QAction::triggered, this,
            [this](bool) { toolBar_->setVisible(!toolBar_->isVisible()); });
    connect(action(idViewStatusBar), &QAction::triggered, this,
            [this](bool) { statusBar()->setVisible(!statusBar()->isVisible()); });
    connect(action(idViewChargeProperties), &QAction::triggered, doc_, &CTervaneDoc::chargeViewProperties);
    connect(action(idLayersNew), &QAction::triggered, doc_, &CTervaneDoc::layersNew);
    connect(action(idLayersInsert), &QAction::triggered, doc_, &CTervaneDoc::layersInsert);
    connect(action(idLayersContacts), &QAction::triggered, doc_, &CTervaneDoc::contacts);
    connect(action(idLayersCvProfile), &QAction::triggered, doc_, &CTervaneDoc::cvProfile);
    connect(action(idMaterialsSetup), &QAction::triggered, doc_, &CTervaneDoc::setupMaterials);
    connect(action(idMaterialsSave), &QAction::triggered, doc_, &CTervaneDoc::materialsSave);
    connect(action(idMaterialsOpen), &QAction::triggered, doc_, &CTervaneDoc::materialsOpen);
    connect(action(idSetupTemperature), &QAction::triggered, doc_, &CTervaneDoc::temperatureSettings);
    connect(action(idSetupSchroedinger), &QAction::triggered, doc_, &CTervaneDoc::toggleSchroedinger);
    connect(action(idSetupValence), &QAction::triggered, doc_, &CTervaneDoc::toggleValenceSchroedinger);
    connect(action(idSetupPolarization), &QAction::triggered, doc_, &CTervaneDoc::togglePolarization);
    connect(action(idSetupFullyIonized), &QAction::triggered, doc_, &CTervaneDoc::toggleFullyIonized);
    connect(action(idSetupSubstrate), &QAction::triggered, doc_, &CTervaneDoc::chooseSubstrate);
    connect(action(idSetupSolverProperties), &QAction::triggered, doc_, &CTervaneDoc::solverProperties);
    connect(action(idSetupSolveNow), &QAction::triggered, doc_, &CTervaneDoc::solveNow);
    connect(action(idAppAbout), &QAction::triggered, this, [this] {
        CAboutDialog dialog(this);
        dialog.exec();
    });
    connect(action(idNextPane), &QAction::triggered, this, [this] { switchPane(1); });
    connect(action(idPrevPane), &QAction::triggered, this, [this] { switchPane(-1); });

    layerView_->setContextActions({action(idLayersEdit), action(idLayersInsertBefore),
                                   action(idLayersInsertAfter), nullptr, action(idEditCut),
                                   action(idEditCopy), action(idEditPaste), action(idEditDelete)});
    connect(layerView_, &CLayerView::currentLayerChanged, this, &CMainFrame::updateCommandStates);
    for (QMenu* menu : {file, edit, view, layers, materials, setup, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::buildToolBar()
{
    toolBar_ = new QToolBar(QStringLiteral("Standard"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    auto button = [&](int id, CommandPicture picture, const QString& tip) {
        QAction* command = action(id);
        command->setIcon(commandIcon(picture));
        command->setToolTip(tip);
        toolBar_->addAction(command);
    };
    button(idFileNew, CommandPicture::New, QStringLiteral("New"));
    button(idFileOpen, CommandPicture::Open, QStringLiteral("Open"));
    button(idFileSave, CommandPicture::Save, QStringLiteral("Save"));
    toolBar_->addSeparator();
    button(idEditUndo, CommandPicture::Undo, QStringLiteral("Undo (Ctrl+Z)"));
    button(idEditRedo, CommandPicture::Redo, QStringLiteral("Redo (Ctrl+Shift+Z)"));
    toolBar_->addSeparator();
    button(idEditCut, CommandPicture::Cut, QStringLiteral("Cut"));
    button(idEditCopy, CommandPicture::Copy, QStringLiteral("Copy"));
    button(idEditPaste, CommandPicture::Paste, QStringLiteral("Paste"));
    toolBar_->addSeparator();
    button(idSetupSolveNow, CommandPicture::Solve, QStringLiteral("Solve (F5)"));
    button(idSetupStop, CommandPicture::Stop, QStringLiteral("Stop solving (Esc)"));
    toolBar_->addSeparator();
    button(idFilePrint, CommandPicture::Print, QStringLiteral("Print"));
    toolBar_->addSeparator();
    button(idAppAbout, CommandPicture::About, QStringLiteral("About"));
    action(idAppAbout)
        ->setStatusTip(QStringLiteral("Display program information, version number and copyright"));
}

void CMainFrame::buildStatusBar()
{
    // Both panes share one strip of the window's width (fitStatusPanes) and shorten their texts to
    // fit it; the rest of the bar is left to the status messages.
    statusPanes_ = new QWidget;
    auto* panes = new QHBoxLayout(statusPanes_);
    panes->setContentsMargins(0, 0, 0, 0);
    solverPane_ = new ElidedLabel(QStringLiteral("Solution error:"));
    solverPane_->setObjectName(QStringLiteral("statusPane101"));
    panes->addWidget(solverPane_, solverPaneShare);
    // While a solve runs the solver pane says where it is, beside a button that stops it.
    stopButton_ = new QToolButton;
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    stopButton_->setIcon(commandIcon(CommandPicture::Stop));
    stopButton_->setText(QStringLiteral("Stop"));
    stopButton_->setToolTip(QStringLiteral("Stop solving (Esc); the last finished solution stays"));
    stopButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    stopButton_->setAutoRaise(true);
    connect(stopButton_, &QToolButton::clicked, doc_, &CTervaneDoc::stopSolve);
    stopButton_->hide();
    panes->addWidget(stopButton_);

    // Pane 102 splits its text at the two tabs into a left, a centred and a right-aligned part.
    auto* cursorPane = new QWidget;
    cursorPane->setObjectName(QStringLiteral("statusPane102"));
    cursorPane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(cursorPane);
    layout->setContentsMargins(2, 0, 2, 0);
    cursorLeft_ = new ElidedLabel(QStringLiteral("n: p:"));
    cursorCentre_ = new ElidedLabel;
    cursorRight_ = new ElidedLabel;
    cursorLeft_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cursorCentre_->setAlignment(Qt::AlignCenter);
    cursorRight_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(cursorLeft_, 3);
    layout->addWidget(cursorCentre_, 2);
    layout->addWidget(cursorRight_, 2);
    panes->addWidget(cursorPane, cursorPaneShare);
    statusBar()->addPermanentWidget(statusPanes_);
    statusBar()->setSizeGripEnabled(true);
    fitStatusPanes();
}

void CMainFrame::fitStatusPanes()
{
    if (statusPanes_)
        statusPanes_->setFixedWidth(width() * (solverPaneShare + cursorPaneShare) / 100);
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitStatusPanes();
}

void CMainFrame::buildPanes()
{
    outerSplitter_ = new QSplitter(Qt::Horizontal, this);
    outerSplitter_->setObjectName(QStringLiteral("outerSplitter"));
    layerView_ = new CLayerView(doc_, outerSplitter_);
    layerView_->setObjectName(QStringLiteral("layerView"));
    // The plots over the scroll bar that pans them in depth.
    auto* plots = new QWidget(outerSplitter_);
    auto* plotsLayout = new QVBoxLayout(plots);
    plotsLayout->setContentsMargins(0, 0, 0, 0);
    plotsLayout->setSpacing(0);
    innerSplitter_ = new QSplitter(Qt::Vertical, plots);
    innerSplitter_->setObjectName(QStringLiteral("innerSplitter"));
    depthScrollBar_ = new QScrollBar(Qt::Horizontal, plots);
    depthScrollBar_->setObjectName(QStringLiteral("depthScrollBar"));
    plotsLayout->addWidget(innerSplitter_, 1);
    plotsLayout->addWidget(depthScrollBar_);
    connect(depthScrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (updatingScrollBar_)
            return;
        const tervane::DepthWindow& window = doc_->depthWindow;
        const double from = value * window.length() / scrollResolution;
        doc_->showDepths(from, from + window.span());
    });
    tervaneView_ = new CTervaneView(doc_, innerSplitter_);
    tervaneView_->setObjectName(QStringLiteral("tervaneView"));
    chargeView_ = new CChargeView(doc_, innerSplitter_);
    chargeView_->setObjectName(QStringLiteral("chargeView"));
    innerSplitter_->setSizes({300, 300});
    outerSplitter_->setSizes({300, 700});
    setCentralWidget(outerSplitter_);
    doc_->addView(layerView_);
    doc_->addView(tervaneView_);
    doc_->addView(chargeView_);
}

QLabel* CMainFrame::statusPane(int index) const
{
    return index == 0 ? solverPane_ : cursorLeft_;
}

QString CMainFrame::cursorPaneText() const
{
    return cursorLeft_->text() + QLatin1Char('\t') + cursorCentre_->text() + QLatin1Char('\t') +
           cursorRight_->text();
}

void CMainFrame::setActiveView(QWidget* view)
{
    activeView_ = view;
    updateCommandStates();
}

void CMainFrame::updateCommandStates()
{
    const tervane::Document& core = doc_->core;
    QUndoStack* undo = doc_->undoStack();
    action(idEditUndo)->setEnabled(undo->canUndo());
    action(idEditUndo)
        ->setText(undo->canUndo() ? QStringLiteral("&Undo %1\tCtrl+Z").arg(undo->undoText())
                                  : QStringLiteral("&Undo\tCtrl+Z"));
    action(idEditRedo)->setEnabled(undo->canRedo());
    action(idEditRedo)
        ->setText(undo->canRedo() ? QStringLiteral("&Redo %1\tCtrl+Shift+Z").arg(undo->redoText())
                                  : QStringLiteral("&Redo\tCtrl+Shift+Z"));
    const int layerCount = static_cast<int>(core.layers.size());
    const bool inList = activeView_ == layerView_;
    const bool layerChosen = layerView_->currentLayer() >= 0 && layerView_->currentLayer() < layerCount;
    for (int id : {idEditCut, idEditDelete, idLayersEdit, idLayersInsertBefore})
        action(id)->setEnabled(layerChosen);
    action(idLayersInsertAfter)->setEnabled(true);
    action(idEditPaste)->setEnabled(CTervaneDoc::clipboardHasLayers());
    action(idSetupStop)->setEnabled(doc_->solving());
    action(idFileDumpEigenstates)->setEnabled(core.schroedingerOn);
    const bool solved = core.grid.count > 1;
    for (int id :
         {idFilePrint, idFilePrintPreview, idFileExportFigure, idViewZoomIn, idViewZoomOut, idViewZoomToFit})
        action(id)->setEnabled(solved);
    action(idEditCopy)->setEnabled(inList ? layerChosen : solved);
    action(idViewZoomToRange)->setEnabled(solved && doc_->hasChargeRange());
    action(idViewBoundStates)->setChecked(doc_->showBoundStates);
    action(idViewBoundStates)->setEnabled(core.schroedingerOn);
    action(idSetupSchroedinger)->setChecked(core.schroedingerOn);
    action(idSetupValence)->setChecked(core.valenceSchroedingerOn);
    action(idSetupValence)->setEnabled(core.schroedingerOn);
    action(idSetupPolarization)->setChecked(core.polarizationOn);
    action(idSetupFullyIonized)->setChecked(core.fullyIonized);
    action(idViewToolbar)->setCheckable(true);
    action(idViewToolbar)->setChecked(toolBar_ && !toolBar_->isHidden());
    action(idViewStatusBar)->setCheckable(true);
    action(idViewStatusBar)->setChecked(!statusBar()->isHidden());
}

void CMainFrame::updateStatusPanes()
{
    const QString progress = doc_->progressText();
    solverPane_->setText(progress.isEmpty() ? doc_->solverStatusText() : progress);
    // A solve that stopped at its limit says so in red, with the way out.
    const bool converged = doc_->core.converged;
    solverPane_->setStyleSheet(converged && !doc_->solveFailed() ? QString()
                                                                 : QStringLiteral("color: #c00000"));
    const QString warning =
        converged
            ? QString()
            : QString::fromStdString(tervane::notConvergedText(doc_->core)) +
                  QStringLiteral("; raise the limits in Setup > Solver Properties or choose accelerated "
                                 "passes there");
    solverPane_->setToolTip(warning);
    if (!converged)
        statusBar()->showMessage(warning);
    else if (statusBar()->currentMessage().startsWith(QStringLiteral("Not converged")))
        statusBar()->clearMessage();
    QString scaleNote;
    double lower = 0.0;
    double upper = 0.0;
    doc_->chargeLimits(lower, upper, &scaleNote);
    if (!scaleNote.isEmpty() && converged)
        statusBar()->showMessage(scaleNote);
    else if (statusBar()->currentMessage().startsWith(QStringLiteral("Charge view:")))
        statusBar()->clearMessage();
    updateCursorPane();
}

void CMainFrame::updateCursorPane()
{
    const QStringList parts = doc_->cursorStatusText().split(QLatin1Char('\t'));
    cursorLeft_->setText(parts.value(0));
    cursorCentre_->setText(parts.value(1));
    cursorRight_->setText(parts.value(2));
}

void CMainFrame::updateTitle()
{
    setWindowTitle(doc_->title() + QStringLiteral("[*] - Tervane"));
    setWindowModified(doc_->isModified() || doc_->materialsModified());
}

void CMainFrame::updateRecentFiles()
{
    const QStringList files = app_ ? app_->recentFiles() : QStringList();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* recent = recentActions_[i];
        if (i < files.size()) {
            recent->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
            recent->setData(files[i]);
            recent->setVisible(true);
        } else {
            recent->setVisible(false);
        }
    }
}

void CMainFrame::switchPane(int step)
{
    const QList<QWidget*> panes = {layerView_, tervaneView_, chargeView_};
    const int current = std::max(0, static_cast<int>(panes.indexOf(activeView_.data())));
    QWidget* next = panes[(current + step + panes.size()) % panes.size()];
    next->setFocus(Qt::OtherFocusReason);
    setActiveView(next);
}

FigureOptions CMainFrame::shownFigure() const
{
    FigureOptions options;
    const int bandHeight = tervaneView_->height();
    const int chargeHeight = chargeView_->height();
    options.size = QSize(std::max(1, tervaneView_->width()), std::max(1, bandHeight + chargeHeight));
    options.bandShare = static_cast<double>(bandHeight) / options.size.height();
    return options;
}

void CMainFrame::copyFigure()
{
    auto* data = new QMimeData;
    data->setImageData(figureImage(*doc_, shownFigure(), devicePixelRatioF()));
    data->setText(visibleDataText(*doc_));
    QApplication::clipboard()->setMimeData(data);
}

void CMainFrame::printFigure(QPrinter& printer)
{
    // The figure at the panes' proportions, as large as the page allows.
    const FigureOptions options = shownFigure();
    QPainter painter(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = std::min(page.width() / options.size.width(), page.height() / options.size.height());
    painter.scale(scale, scale);
    paintFigure(painter, *doc_, QSizeF(options.size), options.bandShare);
}

void CMainFrame::print()
{
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() == QDialog::Accepted)
        printFigure(*printer_);
}

void CMainFrame::printPreview()
{
    QPrintPreviewDialog preview(printer_.get(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { printFigure(*printer); });
    preview.exec();
}

void CMainFrame::updateScrollBar()
{
    const tervane::DepthWindow& window = doc_->depthWindow;
    updatingScrollBar_ = true;
    const double length = window.length() > 0 ? window.length() : 1.0;
    const int page = static_cast<int>(std::lround(window.span() / length * scrollResolution));
    depthScrollBar_->setRange(0, scrollResolution - page);
    depthScrollBar_->setPageStep(std::max(1, page));
    depthScrollBar_->setSingleStep(std::max(1, page / 10));
    depthScrollBar_->setValue(static_cast<int>(std::lround(window.from() / length * scrollResolution)));
    depthScrollBar_->setEnabled(window.zoomed());
    updatingScrollBar_ = false;
}

void CMainFrame::printSetup()
{
    QPageSetupDialog dialog(printer_.get(), this);
    dialog.exec();
}

int CMainFrame::insertionPoint() const
{
    const int count = static_cast<int>(doc_->core.layers.size());
    const int current = layerView_->currentLayer();
    return current >= 0 && current < count ? current + 1 : (count > 0 && current < 0 ? 0 : count);
}

void CMainFrame::showSolveProgress(const QString& text)
{
    stopButton_->setVisible(!text.isEmpty());
    action(idSetupStop)->setEnabled(doc_->solving());
    updateStatusPanes();
}

void CMainFrame::showCvProgress(int done, int total)
{
    if (done < 0) {
        if (cvProgress_)
            cvProgress_->deleteLater();
        cvProgress_ = nullptr;
        return;
    }
    if (!cvProgress_) {
        cvProgress_ =
            new QProgressDialog(QStringLiteral("C-V profile"), QStringLiteral("Stop"), 0, total, this);
        cvProgress_->setWindowTitle(QStringLiteral("C-V Profile"));
        cvProgress_->setMinimumDuration(0);
        cvProgress_->setAutoClose(false);
        cvProgress_->setAutoReset(false);
        connect(cvProgress_, &QProgressDialog::canceled, this, [this] {
            doc_->stopSolve();
            showCvProgress(-1, 0);
        });
    }
    cvProgress_->setMaximum(std::max(1, total));
    cvProgress_->setValue(std::min(done, std::max(1, total)));
    cvProgress_->setLabelText(QStringLiteral("Bias %1 of %2").arg(done).arg(total));
}

void CMainFrame::restoreWindowState()
{
    QSettings store = windowSettings();
    restoreGeometry(store.value(QStringLiteral("Window/Geometry")).toByteArray());
    restoreState(store.value(QStringLiteral("Window/State")).toByteArray());
    outerSplitter_->restoreState(store.value(QStringLiteral("Window/LayerSplitter")).toByteArray());
    innerSplitter_->restoreState(store.value(QStringLiteral("Window/PlotSplitter")).toByteArray());
}

void CMainFrame::saveWindowState() const
{
    QSettings store = windowSettings();
    store.setValue(QStringLiteral("Window/Geometry"), saveGeometry());
    store.setValue(QStringLiteral("Window/State"), saveState());
    store.setValue(QStringLiteral("Window/LayerSplitter"), outerSplitter_->saveState());
    store.setValue(QStringLiteral("Window/PlotSplitter"), innerSplitter_->saveState());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    // Opened after the drop has finished, so that the source is not kept waiting by a dialog.
    const QString path = urls.front().toLocalFile();
    QMetaObject::invokeMethod(
        this, [this, path] { doc_->openDroppedFile(path); }, Qt::QueuedConnection);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (doc_->saveModified()) {
        doc_->stopSolve();
        saveWindowState();
        event->accept();
    } else {
        event->ignore();
    }
}

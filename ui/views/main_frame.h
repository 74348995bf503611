#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "ui/views/commands.h"

class QAction;
class QLabel;
class QPrinter;
class QProgressDialog;
class QToolButton;
class QScrollBar;
struct FigureOptions;
class QSplitter;
class QToolBar;
class CTervaneApp;
class CTervaneDoc;
class CLayerView;
class CTervaneView;
class CChargeView;

// The main window: menus, toolbar, the two status panes, the layer list on the left and the band
// diagram over the charge view on the right, with the depth scroll bar under them. Commands go to the
// document; printing, copying and exporting take the figure of both plots as the panes show it.
class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    CMainFrame(CTervaneApp* app, CTervaneDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The action of a menu command, by its command id (idFileNew, idSetupSolveNow, ...).
    QAction* action(int id) const { return actions_.value(id); }
    CLayerView* layerView() const { return layerView_; }
    CTervaneView* tervaneView() const { return tervaneView_; }
    CChargeView* chargeView() const { return chargeView_; }
    QWidget* activeView() const { return activeView_; }
    void setActiveView(QWidget* view);
    QLabel* statusPane(int index) const;
    QString cursorPaneText() const;

    // Enables, disables and checks the commands from the document's state.
    void updateCommandStates();
    void updateStatusPanes();
    // The cursor pane alone, at every move of the pointer.
    void updateCursorPane();

    // The figure as the panes show it: their size and the band diagram's share of it.
    FigureOptions shownFigure() const;
    // Edit > Copy: the figure as a picture and the points shown as tab-separated text.
    void copyFigure();
    // The figure on one page, at the panes' proportions and as large as the page allows.
    void printFigure(QPrinter& printer);
    QScrollBar* depthScrollBar() const { return depthScrollBar_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QAction* addCommand(QMenu* menu, int id, const QString& text, const QString& prompt = QString());
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildPanes();
    void updateTitle();
    void updateRecentFiles();
    void switchPane(int step);
    void print();
    void printPreview();
    void updateScrollBar();
    void fitStatusPanes();
    void printSetup();
    // Where Paste and Insert After put layers: after the selected layer, or at the end.
    int insertionPoint() const;
    void showSolveProgress(const QString& text);
    void showCvProgress(int done, int total);
    void restoreWindowState();
    void saveWindowState() const;

    CTervaneApp* app_;
    CTervaneDoc* doc_;
    QHash<int, QAction*> actions_;
    QList<QAction*> recentActions_;
    QAction* recentSeparator_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* solverPane_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    QPointer<QProgressDialog> cvProgress_;
    QWidget* statusPanes_ = nullptr;
    QScrollBar* depthScrollBar_ = nullptr;
    bool updatingScrollBar_ = false;
    QLabel* cursorLeft_ = nullptr;
    QLabel* cursorCentre_ = nullptr;
    QLabel* cursorRight_ = nullptr;
    QSplitter* outerSplitter_ = nullptr;
    QSplitter* innerSplitter_ = nullptr;
    CLayerView* layerView_ = nullptr;
    CTervaneView* tervaneView_ = nullptr;
    CChargeView* chargeView_ = nullptr;
    QPointer<QWidget> activeView_;
    std::unique_ptr<QPrinter> printer_;
};

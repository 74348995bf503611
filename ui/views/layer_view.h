#pragma once

#include <QColor>
#include <QList>
#include <QStringList>
#include <QWidget>

class CTervaneDoc;
class QAction;
class QScrollBar;

// The layer list: one line per layer, `linePitch` pixels apart, with a scroll bar of its own when the
// stack is taller than the pane. A click selects a line (drawn highlighted); Up, Down, Page Up, Page
// Down, Home and End move the selection; a double-click or Enter edits the layer through the
// document. A line's tool tip shows it whole. A right-click selects the line under the pointer and opens the
// context actions. Delete, Cut, Copy and Paste are the main window's actions: the list leaves their keys
// alone.
class CLayerView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int linePitch = 20;

    explicit CLayerView(CTervaneDoc* doc, QWidget* parent = nullptr);

    // The lines as the view writes them, one per layer ("000 GaN t:250.0 Nd:1.000e+18 Na:0.000e+00");
    // a layer whose material is not among the document's materials shows the name it asks for with
    // " (material not found)" after it.
    QStringList lines() const;
    // The colour layer `index`'s text is drawn in: the warning colour for a layer whose material is
    // missing, the highlighted-text colour for the selected line, the text colour otherwise.
    QColor lineColour(int index) const;
    static QColor warningColour() { return QColor(192, 0, 0); }

    // The selected layer, -1 when none. The selection is kept within the stack: after a layer is
    // removed it moves to the last layer left.
    int currentLayer() const;
    // Selects `index` (clamped to the stack, -1 for none) and scrolls it into view.
    void setCurrentLayer(int index);
    // The actions of the right-click menu, in menu order; a null entry is a separator.
    void setContextActions(const QList<QAction*>& actions);
    // The layer whose line is at `point` (this widget's coordinates), or -1 below the last.
    int layerAt(const QPoint& point) const;

  signals:
    void currentLayerChanged(int index);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    int layerCount() const;
    QString lineText(int index) const;
    bool materialMissing(int index) const;
    // After the document changed: the selection clamped, the scroll range fitted to the stack.
    void stackChanged();
    void updateScrollRange();
    void scrollTo(int index);
    // Lines a page of the pane holds, at least one.
    int pageLines() const;

    CTervaneDoc* doc_;
    QScrollBar* scrollBar_;
    QList<QAction*> contextActions_;
    int current_ = -1;
    int rangeCount_ = -1; // the layer count the scroll range was fitted to
};

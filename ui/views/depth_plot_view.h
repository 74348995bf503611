#pragma once

#include <QWidget>

#include "ui/views/plot_layout.h"

class CTervaneDoc;

// What both plots of the window share: zoom and pan in depth through the document's depth window.
// The wheel zooms about the pointer; a drag with Ctrl or Shift held zooms to the depths it spans; a
// middle-button drag pans. A plain left drag is the view's own (pressed/dragged/released).
class DepthPlotView : public QWidget {
    Q_OBJECT

  public:
    explicit DepthPlotView(CTervaneDoc* doc, QWidget* parent = nullptr);

    // The layout of the plot at the widget's size and font.
    [[nodiscard]] virtual PlotLayout currentLayout() const = 0;
    // The depth (m) at a horizontal position, clamped to the depths shown, and back.
    [[nodiscard]] double depthAt(double x) const;
    [[nodiscard]] double positionOf(double depth) const;

    // The input handlers' work, callable with plain coordinates. Wheel steps are eighths of a degree
    // as Qt reports them (120 a notch): a notch in zooms by zoomStep.
    static constexpr double zoomStep = 0.8;
    void wheelAt(double x, int angleDelta);
    void zoomBetween(double x0, double x1);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A plain left-button drag and the pointer's moves; nothing by default.
    virtual void pressed(double) {}
    virtual void dragged(double) {}
    virtual void released(double) {}
    virtual void hovered(double) {}
    // The band of a zoom drag under way, drawn over the plot.
    void paintZoomBand(QPainter& painter) const;
    // Pans so that `depth` is at x again after a zoom.
    void keepUnder(double depth, double x);

    CTervaneDoc* doc_;

  private:
    enum class Drag { None, Zoom, Pan, Plain };
    Drag drag_ = Drag::None;
    double dragStart_ = 0.0;
    double dragNow_ = 0.0;
};

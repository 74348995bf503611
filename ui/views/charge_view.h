#pragma once

#include "ui/views/depth_plot_view.h"

// The charge pane (ChargePlot) with the zoom of DepthPlotView: the pointer's depth and densities go
// to the cursor read-out, and a plain drag selects the sheet-density range by depth.
class CChargeView : public DepthPlotView {
    Q_OBJECT

  public:
    explicit CChargeView(CTervaneDoc* doc, QWidget* parent = nullptr);
    [[nodiscard]] PlotLayout currentLayout() const override;

    // The read-out at a horizontal position: the densities interpolated linearly between the two grid
    // points around the depth there.
    void cursorAt(double x);
    // A plain drag from x0 to x1 (either way): the sheet-density range between their depths.
    void selectBetween(double x0, double x1);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void pressed(double x) override;
    void dragged(double x) override;
    void released(double x) override;
    void hovered(double x) override { cursorAt(x); }

  private:
    double selectStart_ = 0.0;
};

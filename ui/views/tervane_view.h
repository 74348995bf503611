#pragma once

#include "ui/views/depth_plot_view.h"

// The band diagram pane (BandDiagramPlot) with the zoom of DepthPlotView.
class CTervaneView : public DepthPlotView {
    Q_OBJECT

  public:
    explicit CTervaneView(CTervaneDoc* doc, QWidget* parent = nullptr);
    [[nodiscard]] PlotLayout currentLayout() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

#include "ui/views/charge_view.h"

#include <QPainter>
#include <algorithm>

#include "engine/document.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/charge_plot.h"
#include "ui/views/plot_mapping.h"

CChargeView::CChargeView(CTervaneDoc* doc, QWidget* parent) : DepthPlotView(doc, parent) {}

PlotLayout CChargeView::currentLayout() const
{
    return ChargePlot(*doc_).layout(size(), QFontMetricsF(font(), this));
}

void CChargeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    ChargePlot(*doc_).paint(painter, size());
    paintZoomBand(painter);
}

void CChargeView::cursorAt(double x)
{
    const tervane::Grid& grid = doc_->core.grid;
    if (grid.count < 2)
        return;
    const std::vector<double> depths = pointDepths(grid);
    const double depth = depthAt(x);
    const auto next = std::upper_bound(depths.begin(), depths.end(), depth);
    const int i = std::clamp(static_cast<int>(next - depths.begin()) - 1, 0, grid.count - 2);
    const auto k = static_cast<std::size_t>(i);
    const double t = std::clamp((depth - depths[k]) / (depths[k + 1] - depths[k]), 0.0, 1.0);
    const tervane::DensityMode mode = tervane::solutionDensityMode(doc_->core);
    constexpr tervane::DensityMode classical = tervane::DensityMode::Classical;
    auto between = [&](auto value) { return (1 - t) * value(i) + t * value(i + 1); };
    const double n = between([&](int j) { return grid.point(j).electronDensity(grid.modeIn(j, mode)); });
    const double nClassical = between([&](int j) { return grid.point(j).electronDensity(classical); });
    const double p = between([&](int j) { return grid.point(j).holeDensity(grid.modeIn(j, mode)); });
    doc_->setCursor(n, nClassical, p, depth);
}

void CChargeView::selectBetween(double x0, double x1)
{
    if (doc_->core.grid.count < 2)
        return;
    doc_->setChargeRange(depthAt(x0), depthAt(x1));
}

void CChargeView::pressed(double x)
{
    selectStart_ = x;
}

void CChargeView::dragged(double x)
{
    selectBetween(selectStart_, x);
}

void CChargeView::released(double x)
{
    selectBetween(selectStart_, x);
}

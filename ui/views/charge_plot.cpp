#include "ui/views/charge_plot.h"

#include <QPainter>
#include <cmath>

#include "engine/document.h"
#include "model/constants.h"
#include "ui/document/tervane_doc.h"

ChargePlot::ChargePlot(const CTervaneDoc& doc) : doc_(doc), depths_(doc.depths())
{
    const tervane::DepthWindow& window = doc.depthWindow;
    shown_ = pointsCovering(depths_, window.from(), window.to());
    x_ = depthAxis(window.from(), window.to());
    y_.title = QStringLiteral("density");
    y_.unit = QStringLiteral("cm⁻³");
    double lower = 0.0;
    double upper = 0.0;
    doc.chargeLimits(lower, upper);
    if (doc.core.chargeView.logScale) {
        y_.kind = PlotAxis::Kind::Decades;
        y_.lo = std::log10(lower * tervane::perCubicCmPerPerCubicMetre);
        y_.hi = std::log10(upper * tervane::perCubicCmPerPerCubicMetre);
    } else {
        y_.commonPower = true;
        y_.lo = lower * tervane::perCubicCmPerPerCubicMetre;
        y_.hi = upper * tervane::perCubicCmPerPerCubicMetre;
    }
    legend_ = {QStringLiteral("n"), QStringLiteral("p")};
    pens_ = {QPen(QColor(0, 255, 0), 1.5), QPen(QColor(0, 0, 255), 1.5)};
    if (doc.core.schroedingerOn) {
        legend_ << QStringLiteral("n bound");
        pens_.emplace_back(QColor(255, 0, 0), 1.5);
    }
    if (doc.core.schroedingerOn && doc.core.valenceSchroedingerOn) {
        legend_ << QStringLiteral("p bound");
        pens_.emplace_back(QColor(0, 0, 0), 1.5);
    }
    if (doc.core.grid.count > 0)
        header_ = QString::asprintf("error: %.2e  %d iterations", doc.core.solverError, doc.core.iterations);
}

double ChargePlot::axisValue(double density) const
{
    const double perCubicCm = density * tervane::perCubicCmPerPerCubicMetre;
    if (y_.kind == PlotAxis::Kind::Linear)
        return perCubicCm;
    return perCubicCm > 0 ? std::log10(perCubicCm) : NAN;
}

PlotLayout ChargePlot::layout(const QSizeF& size, const QFontMetricsF& metrics) const
{
    return layoutPlot(size, metrics, x_, y_, legend_, header_);
}

void ChargePlot::paint(QPainter& painter, const QSizeF& size) const
{
    const PlotLayout plotLayout = layout(size, QFontMetricsF(painter.font(), painter.device()));
    const PlotMapping map = mapping(plotLayout);
    const QRectF& plot = plotLayout.plot;
    painter.save();
    if (doc_.hasChargeRange()) {
        const double left =
            std::clamp(map.px(doc_.core.chargeView.rangeFrom * 1e9), plot.left(), plot.right());
        const double right =
            std::clamp(map.px(doc_.core.chargeView.rangeTo * 1e9), plot.left(), plot.right());
        painter.fillRect(QRectF(QPointF(left, plot.top()), QPointF(right, plot.bottom())),
                         QColor(215, 230, 250));
    }
    paintPlotFrame(painter, plotLayout, map, pens_);
    if (doc_.hasChargeRange()) {
        painter.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
        for (const double depth : {doc_.core.chargeView.rangeFrom, doc_.core.chargeView.rangeTo}) {
            const double x = map.px(depth * 1e9);
            if (x >= plot.left() && x <= plot.right())
                painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
    }
    if (empty()) {
        painter.restore();
        return;
    }
    const tervane::Grid& grid = doc_.core.grid;
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing, true);
    constexpr tervane::DensityMode classical = tervane::DensityMode::Classical;
    // One pass over the points for all four curves: the points are large and many.
    ColumnPolyline n(plot), p(plot), pBound(plot), nBound(plot);
    const bool bound = pens_.size() > 2;
    const bool boundHoles = pens_.size() > 3;
    for (int i = shown_.first; i <= shown_.last; ++i) {
        const tervane::GridPoint& point = grid.point(i);
        const double x = map.px(depths_[static_cast<std::size_t>(i)] * 1e9);
        n.add(x, map.py(axisValue(point.electronDensity(classical))));
        p.add(x, map.py(axisValue(point.holeDensity(classical))));
        if (boundHoles)
            pBound.add(x, map.py(axisValue(point.pBound)));
        if (bound)
            nBound.add(x, map.py(axisValue(point.nBound)));
    }
    for (auto [curve, index] : {std::pair{&n, 0}, {&p, 1}, {&pBound, 3}, {&nBound, 2}}) {
        if (static_cast<std::size_t>(index) >= pens_.size())
            continue;
        painter.setPen(pens_[static_cast<std::size_t>(index)]);
        curve->draw(painter);
    }
    painter.restore();
}

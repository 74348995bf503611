#include "ui/views/band_diagram_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/document/tervane_doc.h"

namespace {

constexpr double energyMargin = 0.05; // share of the energy range added above and below

QPen pen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(colour, width, style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

const QColor electronStates(130, 0, 170);
const QColor holeStates(0, 125, 125);

} // namespace

BandDiagramPlot::BandDiagramPlot(const CTervaneDoc& doc) : doc_(doc), depths_(doc.depths())
{
    const tervane::DepthWindow& window = doc.depthWindow;
    shown_ = pointsCovering(depths_, window.from(), window.to());
    x_ = depthAxis(window.from(), window.to());
    y_.title = QStringLiteral("energy");
    y_.unit = QStringLiteral("eV");

    const tervane::Grid& grid = doc.core.grid;
    double top = -std::numeric_limits<double>::infinity();
    double bottom = std::numeric_limits<double>::infinity();
    if (!depths_.empty())
        shownEnergies_.reserve(static_cast<std::size_t>(shown_.last - shown_.first + 1));
    for (int i = shown_.first; i <= shown_.last && !depths_.empty(); ++i) {
        const tervane::GridPoint& p = grid.point(i);
        const double Ec = p.conductionEdge();
        shownEnergies_.push_back({Ec, Ec - p.Eg, p.Efn, p.Efp, p.phiPol});
        for (const double E : {Ec, Ec - p.Eg})
            if (std::isfinite(E)) {
                top = std::max(top, E);
                bottom = std::min(bottom, E);
            }
    }
    if (!(top > bottom)) {
        top = std::isfinite(top) ? top + 0.5 : 1.0;
        bottom = top - 1.0;
    }
    const double margin = energyMargin * (top - bottom);
    y_.lo = bottom - margin;
    y_.hi = top + margin;

    legend_ = {QStringLiteral("Ec, Ev"), QStringLiteral("Efn"), QStringLiteral("Efp"),
               QStringLiteral("polarization")};
    pens_ = {pen(Qt::black, 1.2), pen(QColor(255, 0, 0), 1.5, Qt::DashLine), pen(QColor(255, 100, 0), 1.5),
             pen(QColor(255, 255, 0), 3.5)};
    if (doc.showBoundStates && !doc.boundStates.empty()) {
        double peak = 0;
        bool holes = false;
        for (const tervane::BoundStateCurve& state : doc.boundStates) {
            holes = holes || state.carrier != tervane::Carrier::Electron;
            for (const double v : state.probability)
                peak = std::max(peak, v);
        }
        probabilityScale_ = peak > 0 ? probabilityHeight * (y_.hi - y_.lo) / peak : 0.0;
        legend_ << QStringLiteral("|ψ|² electrons");
        pens_.push_back(pen(electronStates, 1.2));
        if (holes) {
            legend_ << QStringLiteral("|ψ|² holes");
            pens_.push_back(pen(holeStates, 1.2));
        }
    }
}

PlotLayout BandDiagramPlot::layout(const QSizeF& size, const QFontMetricsF& metrics) const
{
    return layoutPlot(size, metrics, x_, y_, legend_);
}

void BandDiagramPlot::paint(QPainter& painter, const QSizeF& size) const
{
    const PlotLayout plotLayout = layout(size, QFontMetricsF(painter.font(), painter.device()));
    const PlotMapping map = mapping(plotLayout);
    paintPlotFrame(painter, plotLayout, map, pens_);
    if (empty())
        return;
    painter.save();
    painter.setClipRect(plotLayout.plot.adjusted(-1, -1, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing, true);
    // All five curves in one pass.
    const QRectF& plot = plotLayout.plot;
    ColumnPolyline polarization(plot), conduction(plot), valence(plot), efp(plot), efn(plot);
    for (int i = shown_.first; i <= shown_.last; ++i) {
        const Energies& E = shownEnergies_[static_cast<std::size_t>(i - shown_.first)];
        const double x = map.px(depths_[static_cast<std::size_t>(i)] * 1e9);
        polarization.add(x, map.py(E.phiPol));
        conduction.add(x, map.py(E.Ec));
        valence.add(x, map.py(E.Ev));
        efp.add(x, map.py(E.Efp));
        efn.add(x, map.py(E.Efn));
    }
    // Efn last and dashed, so that Efp shows through it where the two coincide.
    for (auto [curve, linePen] : {std::pair{&polarization, pens_[3]},
                                  {&conduction, pens_[0]},
                                  {&valence, pens_[0]},
                                  {&efp, pens_[2]},
                                  {&efn, pens_[1]}}) {
        painter.setPen(linePen);
        curve->draw(painter);
    }

    if (doc_.showBoundStates) {
        for (const tervane::BoundStateCurve& state : doc_.boundStates) {
            const int count = static_cast<int>(state.probability.size());
            const int last = state.first + count - 1;
            if (count == 0 || last >= static_cast<int>(depths_.size()) || last < shown_.first ||
                state.first > shown_.last)
                continue;
            const bool electron = state.carrier == tervane::Carrier::Electron;
            const QColor colour = electron ? electronStates : holeStates;
            const double level = map.py(state.energy);
            const double left =
                std::max(plot.left(), map.px(depths_[static_cast<std::size_t>(state.first)] * 1e9));
            const double right =
                std::min(plot.right(), map.px(depths_[static_cast<std::size_t>(last)] * 1e9));
            painter.setPen(pen(colour, 1.0, Qt::DashLine));
            if (level >= plot.top() && level <= plot.bottom() && left < right)
                painter.drawLine(QPointF(left, level), QPointF(right, level));
            // Electrons' |psi|^2 rises from the level, holes' hangs below it.
            const double sign = electron ? 1.0 : -1.0;
            painter.setPen(pen(colour, 1.2));
            ColumnPolyline line(plot);
            const int from = std::max(state.first, shown_.first);
            const int to = std::min(last, shown_.last);
            for (int i = from; i <= to; ++i)
                line.add(
                    map.px(depths_[static_cast<std::size_t>(i)] * 1e9),
                    map.py(state.energy + sign * probabilityScale_ *
                                              state.probability[static_cast<std::size_t>(i - state.first)]));
            line.draw(painter);
        }
    }
    painter.restore();
}

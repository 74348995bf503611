#pragma once

#include <QPen>
#include <QStringList>
#include <vector>

#include "ui/views/plot_mapping.h"
#include "ui/views/plot_painter.h"

class CTervaneDoc;
class QPainter;

// The band diagram of the last solution over the depths shown: Ec and Ev (black), Efn (red, dashed
// so that it shows over Efp), Efp (orange), the polarization potential (yellow, wide) and, when shown,
// each bound state's level over the depths where it lives with its |psi|^2 drawn on it. Energies in
// eV, depth in nm. The screen, the page, the figure files and the tests all draw through it.
class BandDiagramPlot {
  public:
    explicit BandDiagramPlot(const CTervaneDoc& doc);

    // The share of the energy axis the highest |psi|^2 peak shown takes.
    static constexpr double probabilityHeight = 0.12;

    [[nodiscard]] PlotLayout layout(const QSizeF& size, const QFontMetricsF& metrics) const;
    [[nodiscard]] PlotMapping mapping(const PlotLayout& layout) const { return {layout.plot, x_, y_}; }
    // Paints into the rectangle (0, 0, size) of the painter's coordinates.
    void paint(QPainter& painter, const QSizeF& size) const;
    // Whether there is a solution to draw.
    bool empty() const { return shown_.last < shown_.first + 1; }
    const PlotAxis& energyAxis() const { return y_; }

  private:
    // The energies of one point shown, eV, gathered once: a grid point is large, and reading each only
    // once keeps a 100,000-point paint within a frame.
    struct Energies {
        double Ec, Ev, Efn, Efp, phiPol;
    };
    const CTervaneDoc& doc_;
    const std::vector<double>& depths_;
    std::vector<Energies> shownEnergies_; // of the points shown_.first, shown_.first + 1, ...
    PointRange shown_;
    PlotAxis x_;
    PlotAxis y_;
    QStringList legend_;
    std::vector<QPen> pens_;
    double probabilityScale_ = 0.0; // eV per m^-1 of |psi|^2
};

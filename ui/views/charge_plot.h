#pragma once

#include <QPen>
#include <QStringList>
#include <vector>

#include "ui/views/plot_mapping.h"
#include "ui/views/plot_painter.h"

class CTervaneDoc;
class QPainter;

// The carrier densities of the last solution over the depths shown, in cm^-3 on a linear or a
// decade axis: classical n (green) and p (blue), bound electrons (red) and holes (black) when the
// solution has them; the sheet-density range shaded between two lines; the solver's error above.
class ChargePlot {
  public:
    explicit ChargePlot(const CTervaneDoc& doc);

    [[nodiscard]] PlotLayout layout(const QSizeF& size, const QFontMetricsF& metrics) const;
    [[nodiscard]] PlotMapping mapping(const PlotLayout& layout) const { return {layout.plot, x_, y_}; }
    void paint(QPainter& painter, const QSizeF& size) const;
    bool empty() const { return shown_.last < shown_.first + 1; }
    // The axis value of a density (m^-3): cm^-3, or its log10 on a log scale (NaN for one not
    // positive there).
    double axisValue(double density) const;
    const PlotAxis& densityAxis() const { return y_; }

  private:
    const CTervaneDoc& doc_;
    const std::vector<double>& depths_;
    PointRange shown_;
    PlotAxis x_;
    PlotAxis y_;
    QStringList legend_;
    std::vector<QPen> pens_;
    QString header_;
};

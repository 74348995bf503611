#pragma once

#include <QPen>
#include <vector>

#include "ui/views/plot_layout.h"

class QPainter;

// Maps shown values to the plot's coordinates: depth (nm) across, the value axis up.
struct PlotMapping {
    QRectF plot;
    PlotAxis x;
    PlotAxis y;
    double px(double value) const { return plot.left() + axisFraction(x, value) * plot.width(); }
    double py(double value) const { return plot.bottom() - axisFraction(y, value) * plot.height(); }
    // The shown value at a horizontal position.
    double xAt(double position) const
    {
        return x.lo + (position - plot.left()) / plot.width() * (x.hi - x.lo);
    }
};

// Paints what a layout places: the frame, faint lines at the ticks, the tick marks, every label (the
// value axis's title turned upright) and the legend's line samples in `legendPens`.
void paintPlotFrame(QPainter& painter, const PlotLayout& layout, const PlotMapping& mapping,
                    const std::vector<QPen>& legendPens);

#pragma once

#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

// Where every part of one plot goes, worked out before anything is painted: the data area, the ticks
// and the rectangle of every text. Painting, printing, exporting and the tests all take the same
// layout, so what the tests check is what the user sees.

// One axis: its range in the units it shows, how its ticks are made, and its title.
struct PlotAxis {
    enum class Kind { Linear, Decades };
    double lo = 0.0; // shown units (nm, eV, cm^-3), or log10 of them for Decades
    double hi = 1.0;
    Kind kind = Kind::Linear;
    QString title;
    QString unit;             // appended to the title in parentheses: "depth (nm)"
    bool commonPower = false; // linear labels divided by a power of ten that the title names
};

// The depth axis of both plots: `from` to `to` (m) shown in nm, one nm wide when the range is empty.
PlotAxis depthAxis(double from, double to);

enum class LabelRole { XTick, YTick, XTitle, YTitle, Header, Legend };

struct PlotLabel {
    QRectF rect; // in the plot's own coordinates, (0, 0) at its top left
    QString text;
    LabelRole role = LabelRole::XTick;
    int index = 0; // the legend entry, or the tick, the label belongs to
};

struct PlotLayout {
    QRectF plot;                // the data area
    std::vector<double> xTicks; // tick values in the axis's units (log10 for Decades)
    std::vector<double> yTicks;
    std::vector<PlotLabel> labels;   // every text that is drawn: none leaves the plot, none overlaps
    std::vector<QRectF> legendMarks; // the line sample of each legend entry shown, by entry
};

// The layout of a plot of `size` (logical pixels) in the font of `metrics`: a header and the legend in
// rows across the top, the value axis on the left with its title turned upright, the depth axis along
// the bottom with its title at the right end. Ticks are as many round values as fit without their
// labels touching; a label that would still leave the plot or overlap one placed before it (titles,
// header and legend come first) is left out, its tick kept.
[[nodiscard]] PlotLayout layoutPlot(const QSizeF& size, const QFontMetricsF& metrics, const PlotAxis& x,
                                    const PlotAxis& y, const QStringList& legend,
                                    const QString& header = QString());

// The axis position (0 at lo, 1 at hi) of a tick value.
[[nodiscard]] inline double axisFraction(const PlotAxis& axis, double value)
{
    return axis.hi > axis.lo ? (value - axis.lo) / (axis.hi - axis.lo) : 0.0;
}

// "10¹⁷": a power of ten with a superscript exponent.
[[nodiscard]] QString powerOfTen(int exponent);

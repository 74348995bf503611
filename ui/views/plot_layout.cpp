#include "ui/views/plot_layout.h"

#include <algorithm>
#include <cmath>

#include "ui/views/nice_ticks.h"

namespace {

constexpr double padding = 4.0;             // px around the plot and between its parts
constexpr double tickLength = 4.0;          // px
constexpr double legendMark = 18.0;         // px of line sample before a legend entry's name
constexpr double legendGap = 12.0;          // px between legend entries
constexpr double minimumPlotFraction = 0.4; // the header and legend rows never take more of the height

struct AxisTicks {
    std::vector<double> values;
    QStringList texts;
    int exponent = 0; // the common power of ten of a linear axis's labels
};

AxisTicks makeTicks(const PlotAxis& axis, int maxTicks)
{
    AxisTicks ticks;
    if (axis.kind == PlotAxis::Kind::Decades) {
        for (const int k : tervane::decadeTicks(axis.lo, axis.hi, maxTicks)) {
            ticks.values.push_back(k);
            ticks.texts.append(powerOfTen(k));
        }
        return ticks;
    }
    ticks.values = tervane::niceTicks(axis.lo, axis.hi, maxTicks);
    if (ticks.values.empty())
        return ticks;
    const double step = ticks.values.size() > 1 ? ticks.values[1] - ticks.values[0]
                                                : tervane::niceStep(axis.hi - axis.lo, maxTicks);
    if (axis.commonPower)
        ticks.exponent = tervane::commonExponent(std::max(std::fabs(axis.lo), std::fabs(axis.hi)));
    const double divisor = std::pow(10.0, ticks.exponent);
    for (const double v : ticks.values)
        ticks.texts.append(QString::fromStdString(tervane::tickText(v / divisor, step / divisor)));
    return ticks;
}

QString axisTitle(const PlotAxis& axis, int exponent)
{
    if (axis.unit.isEmpty())
        return axis.title;
    const QString unit = exponent != 0 ? powerOfTen(exponent) + QLatin1Char(' ') + axis.unit : axis.unit;
    return axis.title + QStringLiteral(" (") + unit + QLatin1Char(')');
}

// Keeps the labels placed so far apart: `candidate` is added when it lies inside `bounds` and
// touches none of them.
bool place(std::vector<PlotLabel>& labels, const QRectF& bounds, const PlotLabel& candidate)
{
    if (!bounds.contains(candidate.rect))
        return false;
    for (const PlotLabel& other : labels)
        if (other.rect.intersects(candidate.rect))
            return false;
    labels.push_back(candidate);
    return true;
}

} // namespace

QString powerOfTen(int exponent)
{
    static const QString superscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString text = QStringLiteral("10");
    if (exponent < 0)
        text += QStringLiteral("⁻");
    for (const QChar digit : QString::number(std::abs(exponent)))
        text += superscripts.at(digit.digitValue());
    return text;
}

PlotLayout layoutPlot(const QSizeF& size, const QFontMetricsF& metrics, const PlotAxis& x, const PlotAxis& y,
                      const QStringList& legend, const QString& header)
{
    PlotLayout layout;
    const double W = size.width();
    const double H = size.height();
    const QRectF bounds(0, 0, W, H);
    const double lineHeight = std::ceil(metrics.height());
    const double em = metrics.horizontalAdvance(QLatin1Char('0'));
    auto textRect = [&](const QString& text, double left, double top) {
        return QRectF(left, top, std::ceil(metrics.horizontalAdvance(text)) + 1, lineHeight);
    };

    // Header and legend flow left to right in rows across the top, as many rows as leave the plot
    // its share of the height.
    const int maxRows = std::max(1, static_cast<int>((1 - minimumPlotFraction) * H / 3 / lineHeight));
    double rowLeft = padding;
    int row = 0;
    auto flow = [&](double width) -> QPointF {
        if (rowLeft > padding && rowLeft + width > W - padding) {
            ++row;
            rowLeft = padding;
        }
        if (row >= maxRows || rowLeft + width > W - padding)
            return QPointF(-1, -1);
        const QPointF at(rowLeft, padding + row * lineHeight);
        rowLeft += width + legendGap;
        return at;
    };
    if (!header.isEmpty()) {
        const QString shown = metrics.elidedText(header, Qt::ElideRight, W - 2 * padding);
        const QPointF at = flow(std::ceil(metrics.horizontalAdvance(shown)) + 1);
        if (at.x() >= 0)
            place(layout.labels, bounds, {textRect(shown, at.x(), at.y()), shown, LabelRole::Header, 0});
    }
    int rowsUsed = header.isEmpty() ? 0 : 1;
    for (int i = 0; i < legend.size(); ++i) {
        const double width = legendMark + padding + std::ceil(metrics.horizontalAdvance(legend[i])) + 1;
        const QPointF at = flow(width);
        if (at.x() < 0)
            break;
        const QRectF text = textRect(legend[i], at.x() + legendMark + padding, at.y());
        if (place(layout.labels, bounds, {text, legend[i], LabelRole::Legend, i})) {
            layout.legendMarks.resize(static_cast<std::size_t>(i) + 1);
            layout.legendMarks[static_cast<std::size_t>(i)] = QRectF(at.x(), at.y(), legendMark, lineHeight);
            rowsUsed = row + 1;
        }
    }

    // The data area: below the rows (and half a label, for the top tick's), above the tick labels.
    const double top = padding + rowsUsed * lineHeight + 0.5 * lineHeight + padding;
    const double bottom = H - padding - lineHeight - tickLength - 2;
    const double plotHeight = std::max(1.0, bottom - top);
    const AxisTicks yTicks = makeTicks(y, std::max(2, static_cast<int>(plotHeight / (1.8 * lineHeight))));
    double yLabelWidth = 0;
    for (const QString& text : yTicks.texts)
        yLabelWidth = std::max(yLabelWidth, std::ceil(metrics.horizontalAdvance(text)) + 1);
    const double left = padding + lineHeight + padding + yLabelWidth + tickLength + 2;
    const double right = W - padding - std::ceil(1.5 * em);
    layout.plot = QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
    const QRectF& plot = layout.plot;

    // The titles: the value axis's turned upright at the left edge, centred; the depth axis's at the
    // right end of the tick-label row.
    const QString yTitle = metrics.elidedText(axisTitle(y, yTicks.exponent), Qt::ElideRight, plot.height());
    if (!yTitle.isEmpty()) {
        const double length = std::ceil(metrics.horizontalAdvance(yTitle)) + 1;
        place(layout.labels, bounds,
              {QRectF(padding, plot.center().y() - length / 2, lineHeight, length), yTitle, LabelRole::YTitle,
               0});
    }
    const double xLabelTop = plot.bottom() + tickLength + 2;
    const QString xTitle = axisTitle(x, 0);
    QRectF xTitleRect = textRect(xTitle, 0, xLabelTop);
    xTitleRect.moveRight(W - padding);
    place(layout.labels, bounds, {xTitleRect, xTitle, LabelRole::XTitle, 0});

    // Value ticks, centred on their marks.
    const double yScale = plot.height();
    for (std::size_t i = 0; i < yTicks.values.size(); ++i) {
        const double py = plot.bottom() - axisFraction(y, yTicks.values[i]) * yScale;
        layout.yTicks.push_back(yTicks.values[i]);
        QRectF rect = textRect(yTicks.texts[static_cast<int>(i)], 0, py - lineHeight / 2);
        rect.moveRight(plot.left() - tickLength - 2);
        place(layout.labels, bounds,
              {rect, yTicks.texts[static_cast<int>(i)], LabelRole::YTick, static_cast<int>(i)});
    }

    // Depth ticks: as many as fit with a gap of two digits between labels.
    const std::size_t fixedLabels = layout.labels.size();
    for (int maxTicks = std::max(2, static_cast<int>(plot.width() / (4 * em))); maxTicks >= 2; --maxTicks) {
        const AxisTicks ticks = makeTicks(x, maxTicks);
        double widest = 0;
        for (const QString& text : ticks.texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        const double spacing = ticks.values.size() > 1 ? axisFraction(x, ticks.values[1]) * plot.width() -
                                                             axisFraction(x, ticks.values[0]) * plot.width()
                                                       : plot.width();
        if (spacing < widest + 2 * em && maxTicks > 2)
            continue;
        layout.labels.resize(fixedLabels);
        layout.xTicks = ticks.values;
        for (std::size_t i = 0; i < ticks.values.size(); ++i) {
            const double px = plot.left() + axisFraction(x, ticks.values[i]) * plot.width();
            QRectF rect = textRect(ticks.texts[static_cast<int>(i)], 0, xLabelTop);
            rect.moveCenter(QPointF(px, rect.center().y()));
            place(layout.labels, bounds,
                  {rect, ticks.texts[static_cast<int>(i)], LabelRole::XTick, static_cast<int>(i)});
        }
        break;
    }
    return layout;
}

PlotAxis depthAxis(double from, double to)
{
    PlotAxis axis;
    axis.lo = from * 1e9;
    axis.hi = to * 1e9;
    if (!(axis.hi > axis.lo))
        axis.hi = axis.lo + 1;
    axis.title = QStringLiteral("depth");
    axis.unit = QStringLiteral("nm");
    return axis;
}

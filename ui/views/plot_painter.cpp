#include "ui/views/plot_painter.h"

#include <QPainter>

void paintPlotFrame(QPainter& painter, const PlotLayout& layout, const PlotMapping& mapping,
                    const std::vector<QPen>& legendPens)
{
    const QRectF& plot = layout.plot;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(225, 225, 225), 0));
    for (const double v : layout.xTicks)
        painter.drawLine(QPointF(mapping.px(v), plot.top()), QPointF(mapping.px(v), plot.bottom()));
    for (const double v : layout.yTicks)
        painter.drawLine(QPointF(plot.left(), mapping.py(v)), QPointF(plot.right(), mapping.py(v)));
    const QPen black(QColor(0, 0, 0), 0);
    painter.setPen(black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    constexpr double tick = 4.0;
    for (const double v : layout.xTicks)
        painter.drawLine(QPointF(mapping.px(v), plot.bottom()), QPointF(mapping.px(v), plot.bottom() + tick));
    for (const double v : layout.yTicks)
        painter.drawLine(QPointF(plot.left() - tick, mapping.py(v)), QPointF(plot.left(), mapping.py(v)));
    for (const PlotLabel& label : layout.labels) {
        if (label.role == LabelRole::YTitle) {
            painter.save();
            painter.translate(label.rect.center());
            painter.rotate(-90);
            const QRectF upright(-label.rect.height() / 2, -label.rect.width() / 2, label.rect.height(),
                                 label.rect.width());
            painter.drawText(upright, Qt::AlignCenter, label.text);
            painter.restore();
            continue;
        }
        painter.drawText(label.rect, Qt::AlignLeft | Qt::AlignVCenter, label.text);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (std::size_t i = 0; i < layout.legendMarks.size() && i < legendPens.size(); ++i) {
        const QRectF& mark = layout.legendMarks[i];
        if (mark.isNull())
            continue;
        painter.setPen(legendPens[i]);
        painter.drawLine(QPointF(mark.left() + 1, mark.center().y()),
                         QPointF(mark.right() - 1, mark.center().y()));
    }
    painter.restore();
}

#include "ui/views/tervane_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>

#include "ui/document/tervane_doc.h"
#include "ui/views/plot_mapping.h"

CTervaneView::CTervaneView(CTervaneDoc* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void CTervaneView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    draw(painter, doc_->core.grid, width(), height(), topFraction, bottomFraction);
}

void CTervaneView::print(QPrinter& printer)
{
    // The page shows the drawing at the window's size.
    QPainter painter(&printer);
    draw(painter, doc_->core.grid, width(), height(), topFraction, bottomFraction);
}

void CTervaneView::draw(QPainter& painter, const tervane::Grid& grid, int W, int H, double topFraction,
                        double bottomFraction)
{
    const int N = grid.count;
    if (N <= 0)
        return;
    double max = -1000.0;
    double min = 1000.0;
    for (int i = 0; i + 1 < N; ++i) { // the last point is not scanned
        const tervane::GridPoint& p = grid.point(i);
        max = std::max(max, p.conductionEdge());
        min = std::min(min, p.valenceEdge());
    }
    const double scale = -(bottomFraction - topFraction) * H / (max - min);
    const double offset = topFraction * H - scale * max;
    auto y = [&](double E) { return offset + scale * E; };

    double S = 0.0;
    const std::vector<double> x = pointPositions(grid.dx, N, W, S);

    const QPen original = painter.pen();
    auto curve = [&](const QPen& pen, auto value) {
        painter.setPen(pen);
        PolylinePainter line(painter);
        for (int i = 0; i < N; ++i)
            line.add(x[static_cast<std::size_t>(i)], y(value(grid.point(i))));
    };
    const QPen black(QColor(0, 0, 0), 1);
    curve(black, [](const tervane::GridPoint& p) { return p.conductionEdge(); });
    curve(black, [](const tervane::GridPoint& p) { return p.valenceEdge(); });
    curve(QPen(QColor(255, 0, 0), 1), [](const tervane::GridPoint& p) { return p.Efn; });
    curve(QPen(QColor(255, 100, 0), 1), [](const tervane::GridPoint& p) { return p.Efp; });

    painter.setPen(black);
    const QFontMetrics metrics = painter.fontMetrics();
    for (int v = -8; v <= 8; ++v) {
        const double yv = y(v);
        if (!std::isfinite(yv) || std::fabs(yv) > 1e6)
            continue;
        const int py = static_cast<int>(yv);
        painter.drawLine(0, py, 10, py);
        painter.drawText(10, py + metrics.ascent(), QString::asprintf("%d eV", v));
    }
    curve(QPen(QColor(255, 255, 0), 1), [](const tervane::GridPoint& p) { return p.phiPol; });
    painter.setPen(original);
}

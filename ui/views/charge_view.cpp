#include "ui/views/charge_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/document/tervane_doc.h"
#include "ui/views/plot_mapping.h"

CChargeView::CChargeView(CTervaneDoc* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

bool CChargeView::paintedCurrentGrid() const
{
    const int N = doc_->core.grid.count;
    return N > 0 && paintedSolve_ == doc_->solveCount() && pointX.size() == static_cast<std::size_t>(N);
}

void CChargeView::paintEvent(QPaintEvent*)
{
    const tervane::Document& doc = doc_->core;
    const tervane::Grid& grid = doc.grid;
    const int N = grid.count;
    if (N <= 0)
        return;
    const int W = width();
    const int H = height();
    pointX.assign(static_cast<std::size_t>(N), 0.0);
    pointN.assign(static_cast<std::size_t>(N), 0.0);
    pointP.assign(static_cast<std::size_t>(N), 0.0);
    paintedSolve_ = doc_->solveCount();

    QPainter painter(this);
    const QPen black(QColor(0, 0, 0), 1);
    painter.setPen(black);
    painter.drawText(QRect(0, H - 20, W, 20), Qt::AlignLeft | Qt::AlignTop,
                     QString::asprintf("error: %.2e %d iterations", doc.solverError, doc.iterations));
    if (doc.chargeFirst != 0 && doc.chargeLast != 0) {
        painter.drawLine(dragStartX, 0, dragStartX, H);
        painter.drawLine(dragEndX, 0, dragEndX, H);
    }

    // Vertical mapping; a logarithm is taken only of positive values, and equal limits draw no
    // curves or marks.
    const bool logScale = doc_->logScale;
    auto axis = [logScale](double v) { return logScale ? (v > 0 ? std::log10(v) : NAN) : v; };
    const double upper = axis(doc_->chargeUpper);
    const double lower = axis(doc_->chargeLower);
    const bool drawable = std::isfinite(upper) && std::isfinite(lower) && upper != lower;
    const double scale = drawable ? -(bottomFraction - topFraction) * H / (upper - lower) : 0.0;
    const double offset = topFraction * H - scale * upper;
    auto y = [&](double v) { return offset + scale * axis(v); };

    double S = 0.0;
    const std::vector<double> x = pointPositions(grid.dx, N, W, S);

    if (drawable) {
        painter.setPen(black);
        const QFontMetrics metrics = painter.fontMetrics();
        auto mark = [&](double yv, const QString& label) {
            if (!std::isfinite(yv) || std::fabs(yv) > 1e6)
                return;
            const int py = static_cast<int>(yv);
            painter.drawLine(W, py, W - 10, py);
            painter.drawText(W - 60, py - 5 + metrics.ascent(), label);
        };
        if (!logScale) {
            double v = 1e20;
            for (int k = 0; k < 9; ++k, v *= 10)
                mark(y(v), QString::asprintf("%.1e", v * 1e-6));
        } else {
            for (int k = 15; k <= 27; ++k)
                mark(offset + scale * k, QString::asprintf("10^%d", k - 6));
        }
    }

    // Green: classical electrons; blue: classical holes.
    constexpr tervane::DensityMode classical = tervane::DensityMode::Classical;
    {
        painter.setPen(QPen(QColor(0, 255, 0), 1));
        PolylinePainter line(painter);
        for (int i = 0; i < N; ++i) {
            const double n = grid.point(i).electronDensity(classical);
            pointN[static_cast<std::size_t>(i)] = n;
            if (drawable)
                line.add(x[static_cast<std::size_t>(i)], y(n));
        }
    }
    {
        painter.setPen(QPen(QColor(0, 0, 255), 1));
        PolylinePainter line(painter);
        for (int i = 0; i < N; ++i) {
            const double p = grid.point(i).holeDensity(classical);
            pointX[static_cast<std::size_t>(i)] = x[static_cast<std::size_t>(i)];
            pointP[static_cast<std::size_t>(i)] = p;
            if (drawable)
                line.add(x[static_cast<std::size_t>(i)], y(p));
        }
    }
    if (drawable && doc.schroedingerOn && doc.valenceSchroedingerOn) {
        painter.setPen(black);
        PolylinePainter line(painter);
        for (int i = 0; i < N; ++i)
            line.add(x[static_cast<std::size_t>(i)], y(grid.point(i).pBound));
    }
    if (drawable && doc.schroedingerOn) {
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        PolylinePainter line(painter);
        for (int i = 0; i < N; ++i)
            line.add(x[static_cast<std::size_t>(i)], y(grid.point(i).nBound));
    }
}

int CChargeView::segmentIndexAt(double x) const
{
    const int N = static_cast<int>(pointX.size());
    if (N < 3)
        return -1;
    for (int i = 1; i <= N - 2; ++i)
        if (x <= pointX[static_cast<std::size_t>(i + 1)])
            return i;
    return N - 2;
}

void CChargeView::cursorAt(int x)
{
    if (!paintedCurrentGrid())
        return;
    const int i = segmentIndexAt(x);
    if (i < 0)
        return;
    const auto k = static_cast<std::size_t>(i);
    const double X0 = pointX[k];
    const double X1 = pointX[k + 1];
    const double n = (x - X0) / (X1 - X0) * pointN[k + 1] + (X1 - x) / (X1 - X0) * pointN[k];
    const double p = (x - X0) / (X1 - X0) * pointP[k + 1] + (X1 - x) / (X1 - X0) * pointP[k];
    const tervane::Grid& grid = doc_->core.grid;
    double S = 0.0;
    for (int j = 0; j + 1 < grid.count; ++j)
        S += grid.dx[static_cast<std::size_t>(j)];
    doc_->setCursor(n, p, static_cast<double>(x) / width() * S);
}

void CChargeView::pressAt(int x)
{
    dragStartX = x;
}

void CChargeView::releaseAt(int x)
{
    // A release before the current grid was painted has no positions to select from.
    if (!paintedCurrentGrid())
        return;
    if (x > dragStartX) {
        dragEndX = x;
    } else {
        dragEndX = dragStartX;
        dragStartX = x;
    }
    const int first = segmentIndexAt(dragStartX);
    const int last = segmentIndexAt(dragEndX);
    if (first < 0 || last < 0)
        return;
    doc_->setChargeRange(first, last);
    repaint();
}

void CChargeView::mouseMoveEvent(QMouseEvent* event)
{
    cursorAt(static_cast<int>(event->position().x()));
}

void CChargeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressAt(static_cast<int>(event->position().x()));
}

void CChargeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        releaseAt(static_cast<int>(event->position().x()));
}

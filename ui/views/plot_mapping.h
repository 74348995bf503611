#pragma once

#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// One curve through many points, reduced to what a pixel column can show. Where several points fall
// into one column (of the painter's logical coordinates) only that column's lowest and highest points
// are kept, in the order they came, and its last one; a column whose points span less than a pixel
// keeps only its last. That draws the same pixels as the full polyline at a cost set by the width,
// not by the points: a 100,000-point curve across 1,600 pixels keeps about 1,600 vertices where it is
// smooth and at most 4,800 anywhere. A point whose coordinates are not finite breaks the line.
// Segments are cut at the plot's edges first, so that what lies outside is never stroked.
// Several curves are collected in one pass over the points (each point read once), then drawn.
class ColumnPolyline {
  public:
    // The curve is cut at `clip`'s edges, exactly, before it is reduced: outside the plot nothing is
    // kept, so that figure files (whose readers may ignore a painter's clip) show what the screen shows.
    explicit ColumnPolyline(const QRectF& clip = QRectF(-1e6, -1e6, 2e6, 2e6)) : clip_(clip) {}

    void add(double x, double y)
    {
        // The common case, on from a point inside to another: no clipping (NaN is never inside).
        const QPointF point(x, y);
        const bool inside =
            x >= clip_.left() && x <= clip_.right() && y >= clip_.top() && y <= clip_.bottom();
        if (inside && previousInside_) {
            previous_ = point;
            addInside(point);
            return;
        }
        addClipped(point, inside);
    }

    // Ends the line being collected; the next point starts a new one.
    void finish()
    {
        flushColumn();
        open_ = false;
        if (!line_.isEmpty())
            lines_.push_back(std::move(line_));
        line_ = QPolygonF();
    }

    // The lines collected so far, finished ones only.
    const std::vector<QPolygonF>& lines() const { return lines_; }

    // Draws the lines with the painter's pen. In pieces: the painter strokes a wide or antialiased
    // polyline as one outline, at a cost that grows much faster than its length (45 ms for 1,600
    // vertices, 2 ms in pieces of 64). A dash pattern goes on across the joins.
    void draw(QPainter& painter)
    {
        finish();
        constexpr qsizetype piece = 64;
        QPen pen = painter.pen();
        const bool dashed = pen.style() != Qt::SolidLine && pen.widthF() > 0;
        for (const QPolygonF& line : lines_) {
            if (line.size() == 1)
                painter.drawPoint(line.front());
            for (qsizetype start = 0; start + 1 < line.size(); start += piece) {
                const qsizetype count = std::min(piece + 1, line.size() - start);
                painter.drawPolyline(line.constData() + start, static_cast<int>(count));
                if (!dashed)
                    continue;
                double length = 0.0;
                for (qsizetype i = start + 1; i < start + count; ++i)
                    length += std::hypot(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
                pen.setDashOffset(pen.dashOffset() + length / pen.widthF());
                painter.setPen(pen);
            }
        }
    }

  private:
    // A point that enters, leaves or lies outside the plot, or follows one that did.
    void addClipped(const QPointF& point, bool inside);
    // Which edges a point lies beyond, one bit each (0 inside).
    int side(const QPointF& p) const;
    // Liang-Barsky: cuts the segment to the clip rectangle; false when none of it is inside.
    bool clipSegment(QPointF& from, QPointF& to) const;

    // One point inside the plot into the column reduction.
    void addInside(const QPointF& point)
    {
        const double x = point.x();
        const double y = point.y();
        const double column = std::floor(x);
        if (open_ && column == column_) {
            last_ = point;
            if (y < low_.y())
                low_ = last_;
            if (y > high_.y())
                high_ = last_;
            return;
        }
        flushColumn();
        open_ = true;
        column_ = column;
        first_ = last_ = low_ = high_ = point;
    }

    void flushColumn()
    {
        if (!open_)
            return;
        // The extremes in the order they came, so that the column is drawn as one stroke.
        constexpr double pixel = 1.0;
        if (high_.y() - low_.y() >= pixel) {
            const bool lowFirst = low_.x() <= high_.x();
            for (const QPointF& p : {lowFirst ? low_ : high_, lowFirst ? high_ : low_})
                if (line_.isEmpty() || p != line_.back())
                    line_.append(p);
        } else if (line_.isEmpty()) {
            line_.append(first_);
        }
        if (line_.isEmpty() || last_ != line_.back())
            line_.append(last_);
    }

    QRectF clip_;
    bool hasPrevious_ = false;
    bool previousInside_ = false;
    QPointF previous_;
    std::vector<QPolygonF> lines_;
    QPolygonF line_;
    bool open_ = false;
    double column_ = 0.0;
    QPointF first_, last_, low_, high_;
};

namespace tervane {
class Grid;
}

// Depth of every grid point, m from the left contact: the running sum of the spacings.
std::vector<double> pointDepths(const tervane::Grid& grid);

// The grid points a depth range needs: from the last point at or left of `from` to the first at or
// right of `to`, so that the curves run to the plot's edges. {0, -1} for no points.
struct PointRange {
    int first = 0;
    int last = -1;
};
PointRange pointsCovering(const std::vector<double>& depths, double from, double to);

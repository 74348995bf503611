#pragma once

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Draws one polyline through many points. Where several points fall into one pixel column (of the
// painter's logical coordinates) only that column's first, lowest, highest and last points are kept,
// which draws the same pixels as the full polyline at a cost set by the width, not by the points: a
// 100,000-point curve across 1,600 pixels draws at most 6,400 vertices. A point whose coordinates are
// not finite breaks the line.
class PolylinePainter {
  public:
    explicit PolylinePainter(QPainter& painter) : painter_(painter) {}
    PolylinePainter(const PolylinePainter&) = delete;
    PolylinePainter& operator=(const PolylinePainter&) = delete;
    ~PolylinePainter() { finish(); }

    void add(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y)) {
            finish();
            return;
        }
        // Far outside any window; keeps the painter's arithmetic defined.
        constexpr double limit = 1e6;
        x = std::clamp(x, -limit, limit);
        y = std::clamp(y, -limit, limit);
        const double column = std::floor(x);
        if (open_ && column == column_) {
            last_ = QPointF(x, y);
            if (y < low_.y())
                low_ = last_;
            if (y > high_.y())
                high_ = last_;
            return;
        }
        flushColumn();
        open_ = true;
        column_ = column;
        first_ = last_ = low_ = high_ = QPointF(x, y);
    }

    void finish()
    {
        flushColumn();
        open_ = false;
        if (line_.size() == 1)
            painter_.drawPoint(line_.front());
        else if (line_.size() > 1)
            painter_.drawPolyline(line_);
        line_.clear();
    }

    // Vertices handed to the painter so far on the open line.
    qsizetype vertexCount() const { return line_.size(); }

  private:
    void flushColumn()
    {
        if (!open_)
            return;
        line_.append(first_);
        // The extremes in the order they came, so that the column is drawn as one stroke.
        const bool lowFirst = low_.x() <= high_.x();
        for (const QPointF& p : {lowFirst ? low_ : high_, lowFirst ? high_ : low_, last_})
            if (p != line_.back())
                line_.append(p);
    }

    QPainter& painter_;
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

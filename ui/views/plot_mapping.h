#pragma once

#include <QPainter>
#include <QPoint>
#include <algorithm>
#include <cmath>
#include <vector>

// Draws one polyline through many points in device units truncated toward zero. Where several
// points fall into one pixel column only that column's first, lowest, highest and last values are
// drawn, which paints the same pixels as the full polyline at a fraction of the cost; the stored
// arrays and read-outs stay per point. A point whose coordinates are not finite breaks the line.
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
        const int px = truncate(x);
        const int py = truncate(y);
        if (!open_) {
            open_ = true;
            column_ = px;
            last_ = low_ = high_ = py;
            painter_.drawPoint(px, py);
            return;
        }
        if (px == column_) {
            last_ = py;
            low_ = std::min(low_, py);
            high_ = std::max(high_, py);
            return;
        }
        flushColumn();
        // The segment from the previous column's last point into the new one.
        painter_.drawLine(QPoint(column_, last_), QPoint(px, py));
        column_ = px;
        last_ = low_ = high_ = py;
    }

    void finish()
    {
        if (!open_)
            return;
        flushColumn();
        open_ = false;
    }

  private:
    static int truncate(double v)
    {
        // Far outside any window; keeps the conversion defined.
        constexpr double limit = 1e6;
        return static_cast<int>(std::clamp(v, -limit, limit));
    }

    void flushColumn()
    {
        if (low_ != high_)
            painter_.drawLine(QPoint(column_, low_), QPoint(column_, high_));
    }

    QPainter& painter_;
    bool open_ = false;
    int column_ = 0;
    int last_ = 0;
    int low_ = 0;
    int high_ = 0;
};

// Positions of the grid points across a width: x(i) = W s(i) / S with s the running sum of the
// spacings, so the first point is at the left edge and the last at the right edge. S sums dx[0] to
// dx[N-2].
inline std::vector<double> pointPositions(const std::vector<double>& dx, int count, double width, double& S)
{
    S = 0.0;
    for (int i = 0; i + 1 < count; ++i)
        S += dx[static_cast<std::size_t>(i)];
    std::vector<double> x(static_cast<std::size_t>(count > 0 ? count : 0));
    double s = 0.0;
    for (int i = 0; i < count; ++i) {
        x[static_cast<std::size_t>(i)] = width * s / S;
        if (i + 1 < count)
            s += dx[static_cast<std::size_t>(i)];
    }
    return x;
}

#include "ui/views/plot_mapping.h"

#include "engine/grid.h"

std::vector<double> pointDepths(const tervane::Grid& grid)
{
    std::vector<double> depth(static_cast<std::size_t>(std::max(0, grid.count)));
    double s = 0.0;
    for (std::size_t i = 0; i < depth.size(); ++i) {
        depth[i] = s;
        if (i + 1 < depth.size())
            s += grid.dx[i];
    }
    return depth;
}

PointRange pointsCovering(const std::vector<double>& depths, double from, double to)
{
    if (depths.empty())
        return {};
    const auto begin = depths.begin();
    const auto last = static_cast<int>(depths.size()) - 1;
    const int first = static_cast<int>(std::upper_bound(begin, depths.end(), from) - begin) - 1;
    const int end = static_cast<int>(std::lower_bound(begin, depths.end(), to) - begin);
    return {std::clamp(first, 0, last), std::clamp(end, 0, last)};
}

void ColumnPolyline::addClipped(const QPointF& point, bool inside)
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
        finish();
        hasPrevious_ = previousInside_ = false;
        return;
    }
    if (!hasPrevious_) {
        hasPrevious_ = true;
        previousInside_ = inside;
        previous_ = point;
        if (inside)
            addInside(point);
        return;
    }
    QPointF from = previous_;
    QPointF to = point;
    previous_ = point;
    previousInside_ = inside;
    if ((side(from) & side(to)) != 0 || !clipSegment(from, to)) { // wholly beyond one edge, or missing
        finish();
        return;
    }
    // A segment that enters the plot starts a new line at the edge; one that goes on from a point
    // inside starts at that point, which is kept already.
    if (!open_)
        addInside(from);
    addInside(to);
    if (!inside)
        finish(); // it left the plot
}

int ColumnPolyline::side(const QPointF& p) const
{
    return (p.x() < clip_.left() ? 1 : 0) | (p.x() > clip_.right() ? 2 : 0) | (p.y() < clip_.top() ? 4 : 0) |
           (p.y() > clip_.bottom() ? 8 : 0);
}

bool ColumnPolyline::clipSegment(QPointF& from, QPointF& to) const
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    double enter = 0.0;
    double leave = 1.0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {from.x() - clip_.left(), clip_.right() - from.x(), from.y() - clip_.top(),
                        clip_.bottom() - from.y()};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    const QPointF start = from;
    if (leave < 1.0)
        to = QPointF(start.x() + leave * dx, start.y() + leave * dy);
    if (enter > 0.0)
        from = QPointF(start.x() + enter * dx, start.y() + enter * dy);
    return true;
}

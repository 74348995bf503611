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

#include "engine/grid.h"

namespace tervane {

Grid::Grid(int count_) : count(count_)
{
    if (count_ > 0) {
        points.resize(static_cast<std::size_t>(count_));
        dx.assign(static_cast<std::size_t>(count_ - 1), 0.0);
        eps.assign(static_cast<std::size_t>(count_ - 1), 0.0);
    }
}

void Grid::reset(int count_)
{
    count = count_;
    solvedMode = DensityMode::Classical;
    quantumFirst = 0;
    quantumLast = std::numeric_limits<int>::max();
    if (count_ <= 0) {
        points.clear();
        dx.clear();
        eps.clear();
        return;
    }
    points.resize(static_cast<std::size_t>(count_));
    dx.resize(static_cast<std::size_t>(count_ - 1), 0.0);
    eps.resize(static_cast<std::size_t>(count_ - 1), 0.0);
}

} // namespace tervane

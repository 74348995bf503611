#include "export/band_profile_export.h"

#include <cstdio>

#include "engine/grid.h"
#include "engine/text_file.h"
#include "model/constants.h"

namespace tervane {

bool dumpFile(const Grid& grid, const std::string& path, DensityMode mode)
{
    TextFile file(path);
    if (!file) {
        std::fputs("dumpFile failed\n", stdout);
        return false;
    }
    file.print("x\tEc\tEv\tEf\tn\tp\n");
    double x = 0;
    for (int i = 0; i < grid.count; ++i) {
        const GridPoint& point = grid.point(i);
        const double n = point.electronDensity(grid.modeIn(i, mode));
        const double p = point.holeDensity(grid.modeIn(i, mode));
        file.print("%f\t%f\t%f\t%f\t%e\t%e\n", x * angstromPerMetre, point.conductionEdge(),
                   point.valenceEdge(), point.Efn, n * perCubicCmPerPerCubicMetre,
                   p * perCubicCmPerPerCubicMetre);
        if (i < grid.count - 1)
            x += grid.dx[static_cast<std::size_t>(i)];
    }
    return file.close();
}

} // namespace tervane

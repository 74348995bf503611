#include "export/band_profile_export.h"

#include <cstdio>

#include "engine/grid.h"
#include "model/constants.h"

namespace tervane {

bool dumpFile(Grid& grid, const std::string& path, int mode)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::fputs("dumpFile failed\n", stdout);
        return false;
    }
    std::fputs("x\tEc\tEv\tEf\tn\tp\n", file);
    double x = 0;
    for (int i = 0; i < grid.count; ++i) {
        GridPoint& point = grid.point(i);
        point.carrierMode = mode;
        const double n = point.electronDensity();
        const double p = point.holeDensity();
        std::fprintf(file, "%f\t%f\t%f\t%f\t%e\t%e\n", x * angstromPerMetre, point.conductionEdge(),
                     point.valenceEdge(), point.Efn, n * perCubicCmPerPerCubicMetre, p * perCubicCmPerPerCubicMetre);
        if (i < grid.count - 1)
            x += grid.dx[static_cast<std::size_t>(i)];
    }
    return std::fclose(file) == 0;
}

}  // namespace tervane

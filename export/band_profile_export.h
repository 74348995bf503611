#pragma once

#include <string>

#include "engine/grid_point.h"

namespace tervane {

class Grid;

// Writes one tab-separated line per grid point: x (Angstrom), Ec, Ev, Efn (eV), n and p (cm^-3) under
// the header "x\tEc\tEv\tEf\tn\tp\n", the densities those of `mode` (inside the quantum region); the grid is
// left as it is. When the file cannot be opened, "dumpFile failed\n" goes to standard output and false is
// returned.
[[nodiscard]] bool dumpFile(const Grid& grid, const std::string& path, DensityMode mode);

} // namespace tervane

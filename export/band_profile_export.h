#pragma once

#include <string>

namespace tervane {

class Grid;

// Writes one tab-separated line per grid point: x (Angstrom), Ec, Ev, Efn (eV), n and p (cm^-3) under
// the header "x\tEc\tEv\tEf\tn\tp\n". Densities follow `mode` (0 classical, 1 bound electrons, 2 bound
// electrons and holes), which is written into every point as a side effect. When the file cannot be
// opened, "dumpFile failed\n" goes to standard output and false is returned.
bool dumpFile(Grid& grid, const std::string& path, int mode);

}  // namespace tervane

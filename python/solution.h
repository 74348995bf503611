#pragma once

#include <string>
#include <vector>

#include "engine/carrier.h"
#include "engine/document.h"

namespace tervane::python {

// The bound states of one carrier kind on the solved potential, for plotting and analysis.
struct BoundStates {
    Carrier carrier = Carrier::Electron;
    std::vector<double> energies;   // eV, the level itself (electron energy, as Ec)
    std::vector<double> psi;        // states x points, row-major, m^-1/2
    std::vector<double> population; // carriers per m^2, from the last Schroedinger pass; NaN if unmatched
    int count = 0;
};

// A solved document and what its solve said. Everything is read from the document; nothing changes it
// but sheetDensity's range, which is the Solution's own.
class Solution {
  public:
    Document document;
    std::vector<std::string> messages;
    std::vector<BoundStates> states; // electrons, then light and heavy holes when they were solved
    double solveSeconds = 0.0;       // wall-clock time of the core's solve, s
    bool statesFound = false;        // findBoundStates() has run: it runs on the first request

    // One value per grid point, in the units of the band export but SI: x in m from the left contact
    // (summed over the spacings as the export sums them), energies in eV, densities in m^-3 (those of
    // the Schroedinger switches, as the export writes them).
    [[nodiscard]] std::vector<double> column(const std::string& name) const;

    // The electron sheet density over the grid intervals between depths a and b (m), m^-2.
    [[nodiscard]] double sheetDensity(double a, double b);

    // Solves the bound states of the kinds the solve used again on the final potential (the whole grid;
    // none with a quantum region, whose states live on a part of it) and keeps their vectors. Not part
    // of the solve: a solve that nobody asks the wavefunctions of does not pay for them.
    void findBoundStates();
};

} // namespace tervane::python

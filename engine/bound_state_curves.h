#pragma once

#include <vector>

#include "engine/carrier.h"

namespace tervane {

class Document;
class Observer;

// One bound state as a plot draws it: its level over the depth where the state lives, and |psi|^2
// there.
struct BoundStateCurve {
    Carrier carrier = Carrier::Electron;
    double energy = 0.0; // eV, as an electron energy (hole levels too)
    int first = 0;       // grid index of probability[0]
    // |psi|^2 (m^-1, unit trapezoid integral over the whole state) at the points first,
    // first + 1, ... where it is at least extentFraction of its peak, and every point between them.
    std::vector<double> probability;
};

// The share of its peak below which a state's |psi|^2 counts as gone.
inline constexpr double extentFraction = 1e-3;
// How many kT (at the region's ends) a confined level lies inside the band edges there.
inline constexpr double confinementMargin = 2.0;

// The confined bound states of the last solution with their |psi|^2, solved again on its potential (a
// solve keeps only the levels): electrons, and with the valence switch light and then heavy holes, in
// the quantum region when one was set, with the document's eigen-solver. Confined: an electron level
// below Ec at both ends of the region, a hole level above Ev at both ends; the bound states above
// that are the continuum of the bulk, spread over all of it. Empty when the Schroedinger switch is
// off or the grid has fewer than 3 points there. The states are those of the solution's potential,
// so they agree with the solve's last pass to its tolerance.
[[nodiscard]] std::vector<BoundStateCurve> boundStateCurves(const Document& document, Observer& observer);

} // namespace tervane

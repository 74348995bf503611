#pragma once

#include "engine/carrier.h"

namespace tervane {

// One bound state of the last Schroedinger pass, as a user reads it.
struct Subband {
    Carrier carrier = Carrier::Electron;
    double energy = 0.0; // eV, electron energy of the level minus the quasi-Fermi level where |psi|^2 peaks
    double population = 0.0; // carriers per m^2 in the state
    double peak = 0.0;       // m from the left contact, where |psi|^2 peaks
};

} // namespace tervane

#pragma once

#include "model/quadratic.h"

namespace tervane {

// Spontaneous and piezoelectric polarization laws of a material, measured against a substrate.
class Polarization {
  public:
    Quadratic a;   // relaxed lattice constant, Angstrom (the unit of the substrate's)
    Quadratic Psp; // spontaneous polarization, C/m^2
    Quadratic c13; // elastic constant (any unit shared with c33: only the ratio is used)
    Quadratic c33;
    Quadratic e31; // piezoelectric constants, C/m^2
    Quadratic e33;

    Polarization() = default;
    virtual ~Polarization() = default;
    Polarization(const Polarization&) = default;
    Polarization& operator=(const Polarization&) = default;

    // Polarization relative to a substrate of lattice constant substrateA (Angstrom) and spontaneous
    // polarization substratePsp (C/m^2), in elementary charges per m^2, at composition x. Only the
    // piezoelectric term is scaled by strainFactor.
    [[nodiscard]] double polarizationAt(double x, double strainFactor, double substrateA,
                                        double substratePsp) const;

    bool operator==(const Polarization& other) const;
};

} // namespace tervane

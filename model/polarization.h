#pragma once

#include "model/quadratic.h"

namespace tervane {

// Spontaneous and piezoelectric polarization laws of a material, measured against a substrate.
class Polarization {
public:
    Quadratic a;    // relaxed lattice constant, Angstrom (same unit as substrateA)
    Quadratic Psp;  // spontaneous polarization, C/m^2
    Quadratic c13;  // elastic constant (any unit shared with c33: only the ratio is used)
    Quadratic c33;
    Quadratic e31;  // piezoelectric constants, C/m^2
    Quadratic e33;

    // Run-time copies of the document's substrate values; set by whoever evaluates the record.
    // Not part of the value: neither copied nor stored.
    double substratePsp = 0.0;  // C/m^2
    double substrateA = 0.0;    // Angstrom

    Polarization() = default;
    virtual ~Polarization() = default;
    Polarization(const Polarization& other) { *this = other; }
    Polarization& operator=(const Polarization& other);

    // Polarization relative to the substrate, in elementary charges per m^2, at composition x.
    // Only the piezoelectric term is scaled by strainFactor.
    double polarizationAt(double x, double strainFactor) const;

    bool operator==(const Polarization& other) const;
};

}  // namespace tervane

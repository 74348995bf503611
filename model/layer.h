#pragma once

#include <string>

#include "model/quadratic.h"

namespace tervane {

// One layer of the stack. Lengths in m, densities in m^-3, energies in eV, temperatures in K. The
// five laws are functions of the relative depth t in the layer (0 at its left edge).
class Layer {
  public:
    double Nd = 0.0;               // shallow donors, m^-3
    double Na = 0.0;               // shallow acceptors, m^-3
    double Ndd = 0.0;              // deep donors, m^-3
    double Nda = 0.0;              // deep acceptors, m^-3
    double dx = 0.0;               // grid spacing, m
    double thickness = 0.0;        // m
    Quadratic composition;         // alloy fraction over t
    Quadratic Efp;                 // hole quasi-Fermi level over t, eV
    Quadratic Efn;                 // electron quasi-Fermi level over t, eV
    Quadratic Tp{300.0, 0.0, 0.0}; // hole temperature over t, K
    Quadratic Tn{300.0, 0.0, 0.0}; // electron temperature over t, K
    double spare = 0.0;            // carried and stored, read by nothing
    bool relaxed = false;
    double strainFactor = 0.0; // scales the piezoelectric term while `relaxed` is set
    std::string material;      // matched exactly against Material::name
    bool holes = true;

    Layer() = default;
    virtual ~Layer() = default;
    Layer(const Layer&) = default;
    Layer& operator=(const Layer&) = default;

    bool operator==(const Layer& other) const = default;
};

} // namespace tervane

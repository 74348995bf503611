#pragma once

#include <vector>

#include "engine/carrier.h"
#include "engine/grid.h"

namespace tervane {

class EigenSolution;

// The bound-state densities of one Schroedinger pass as functions of the potential, for the accelerated
// self-consistency. Every state that can hold carriers keeps its psi^2 and its level; where the band
// edge has moved by dE since the pass, the state's local occupation is taken at its level moved by dE,
//     n(x) = sum_k psi_k(x)^2 (m kT / pi hbar^2) ln(1 + exp((Efn - E_k - dE(x)) / kT)),
// holes alike (the predictor of Trellakis et al., J. Appl. Phys. 81, 7880 (1997)). The densities are
// the pass's own plus the change this sum predicts, so that with the potential of the pass they are
// exactly the pass's; the derivative enters the Newton matrix, so that the Poisson solve between two
// passes sees the bound charge respond to the potential. Only the states near their quasi-Fermi level
// are kept one by one; those further away change as exp(-dE/kT), and are kept as one sum per point.
class SubbandDensity {
  public:
    // Starts a new pass on `grid`, remembering its potential; `grid` holds the points from `offset` on
    // of the grid the Poisson solve works on (a quantum region), whose other points are classical.
    void begin(const Grid& grid, int offset);
    // Takes the states of `solution` that have their vector for `carrier`.
    void add(const Grid& grid, const EigenSolution& solution, Carrier carrier);
    // After the states of the pass: takes the pass's densities (nBound, and pBound with `holes`) from
    // the grid as the densities at the pass's potential.
    void seal(const Grid& grid, bool holes);

    // The carriers of interior point i at its present potential, with the slope q(dn/dphi - dp/dphi);
    // classical holes when the holes are not bound.
    [[nodiscard]] CarrierResponse at(int i, const GridPoint& p) const;

    // The largest change of the potential of `grid` (the whole grid) since begin(), V.
    [[nodiscard]] double largestShift(const Grid& grid) const;

  private:
    struct State {
        Carrier carrier;
        double level;                   // eV, as an electron energy
        std::vector<double> psiSquared; // m^-1, per point
    };
    // The predicted part of the carriers at point i for a band-edge shift (eV).
    [[nodiscard]] CarrierResponse predicted(std::size_t i, const GridPoint& p, double shift) const;

    bool holes_ = false;
    int offset_ = 0;
    std::vector<double> phi0_; // potential of the pass, V
    std::vector<double> n0_;   // densities of the pass, m^-3
    std::vector<double> p0_;
    std::vector<double> predictedN0_; // the predicted part at the pass's potential
    std::vector<double> predictedP0_;
    // The states kept one by one, and per point the Boltzmann sums psi^2 (m kT / pi hbar^2)
    // exp(-|E - Ef| / kT) of the others.
    std::vector<State> states_;
    std::vector<double> tailN_;
    std::vector<double> tailP_;
};

} // namespace tervane

#pragma once

#include <string>

namespace tervane {

// How the bound-state eigenproblems are solved. Both give the same states; the tridiagonal solver
// takes O(N^2) time where the dense one takes O(N^3).
enum class EigenSolverKind { Tridiagonal, Dense };

// How the bound-state passes and the Poisson equation are brought to agree. Alternating: each pass's
// densities held fixed for one Newton step, then the next pass. Accelerated: between two passes the
// Poisson equation is solved with the bound charge following the potential through the occupation of
// each state (engine/subband_density.h); far fewer passes, and the same solution.
enum class SelfConsistency { Alternating, Accelerated };

struct SchroedingerSettings {
    SelfConsistency selfConsistency = SelfConsistency::Alternating;
    // The phase ends when a pass moves the potential by no more than this, V.
    double tolerance = 1e-5;
    EigenSolverKind eigenSolver = EigenSolverKind::Tridiagonal;
    // The depth range (m from the left contact) the bound states are solved in; outside it the carriers
    // are classical. Off: the whole structure.
    bool quantumRegion = false;
    double quantumFrom = 0.0;
    double quantumTo = 0.0;
    // Whether the last pass's states are written to "qstates.dat", "qstateslh.dat" and "qstateshh.dat",
    // in dumpDirectory (empty: the current directory).
    bool eigenstateFiles = false;
    std::string dumpDirectory;

    bool operator==(const SchroedingerSettings& other) const = default;
};

} // namespace tervane

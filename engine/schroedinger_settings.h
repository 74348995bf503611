#pragma once

#include <string>

namespace tervane {

// How the bound-state eigenproblems are solved. Both give the same states; the tridiagonal solver
// takes O(N^2) time where the dense one takes O(N^3).
enum class EigenSolverKind { Tridiagonal, Dense };

struct SchroedingerSettings {
    EigenSolverKind eigenSolver = EigenSolverKind::Tridiagonal;
    // Folder of "qstates.dat", "qstateslh.dat" and "qstateshh.dat"; empty means the current directory.
    std::string dumpDirectory;
};

}  // namespace tervane

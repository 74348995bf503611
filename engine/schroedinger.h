#pragma once

#include <memory>

#include "engine/schroedinger_settings.h"

namespace tervane {

class Grid;
class Observer;

// The bound-state phase of one solve: eigen-solutions of the effective-mass Schroedinger equation
// for electrons (and light and heavy holes), the densities built from them into every point's
// nBound (and pBound), and the eigenstate files. Owns its working tables for the life of one solve.
class SchroedingerPhase {
public:
    SchroedingerPhase(Grid& grid, const SchroedingerSettings& settings, Observer& observer);
    ~SchroedingerPhase();
    SchroedingerPhase(const SchroedingerPhase&) = delete;
    SchroedingerPhase& operator=(const SchroedingerPhase&) = delete;

    // Allocates the working tables for the grid's point count. When they would not fit in the memory
    // available it says so and returns false; the caller then keeps the classical result.
    bool prepare(bool valence);

    // One pass: electron states and nBound; with `valence` also light and then heavy holes and
    // pBound. Returns the number of bound electron states.
    int pass(bool valence);

    // End of the phase: writes the eigenstate files of the last pass.
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tervane

#pragma once

#include <memory>
#include <vector>

#include "engine/schroedinger_settings.h"
#include "engine/subband.h"
#include "engine/subband_density.h"

namespace tervane {

class Grid;
class Observer;

// The bound-state phase of one solve: eigen-solutions of the effective-mass Schroedinger equation
// for electrons (and light and heavy holes), the densities built from them into every point's
// nBound (and pBound), and the eigenstate files. Owns its working table for the life of one solve.
//
// Only one N by N eigenvector table is alive at a time: the carrier kinds are solved one after the
// other into it, each kind's density taken before the next kind overwrites it. The eigenstate files
// of the last pass are written by finish(): the kind still in the table directly, the others solved
// again from the potential that pass started from, which is remembered (O(N)) for the purpose.
class SchroedingerPhase {
  public:
    SchroedingerPhase(Grid& grid, const SchroedingerSettings& settings, Observer& observer);
    ~SchroedingerPhase();
    SchroedingerPhase(const SchroedingerPhase&) = delete;
    SchroedingerPhase& operator=(const SchroedingerPhase&) = delete;

    // Allocates the working table for the grid's point count. When it would not fit in the memory
    // available it says so and returns false; the caller then keeps the classical result.
    bool prepare(bool valence);

    // One pass: electron states and nBound; with `valence` also light and then heavy holes and
    // pBound. Returns the number of bound electron states.
    int pass(bool valence);

    // With the accelerated self-consistency, the states of the last pass as densities that follow the
    // potential; empty otherwise.
    [[nodiscard]] const SubbandDensity& subbands() const;

    // The bound states of the last pass, electrons first.
    [[nodiscard]] const std::vector<Subband>& levels() const;

    // End of the phase: writes the eigenstate files of the last pass into the dump directory and
    // releases the table.
    void finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Bytes the phase needs for an N-point grid keeping `states` eigenvectors: the table (N by N with the
// dense solver, which also needs its matrix), and the per-point work arrays.
double schroedingerMemoryNeed(int N, EigenSolverKind solver, int states);

// Bytes of memory the system can still hand out (MemAvailable, within this process's control-group
// limit if it has one), or a negative number when that cannot be found out.
double availableMemory();

} // namespace tervane

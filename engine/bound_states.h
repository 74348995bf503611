#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "engine/carrier.h"
#include "engine/schroedinger_settings.h"
#include "engine/subband.h"

namespace tervane {

class Grid;
class GridPoint;
class Observer;
struct EigenpairTrack;

// The eigen-solution of one carrier kind on an N-point grid: N energies, and the states of those that
// have a vector, N components each. The table holds only as many states as a solve asked room for
// (the needed ones, N for a solve of all states), so that its memory grows with N times the states
// kept, not N squared. The caller owns it and reuses it from pass to pass.
class EigenSolution {
  public:
    explicit EigenSolution(int N);

    int size() const { return size_; }
    // How many states the table has room for.
    int columns() const { return columns_; }

    // Component of state k at point i (psi[i][k]), m^-1/2; first <= k < first + columns().
    double component(int i, int k) const { return state(k)[i]; }
    // The N components of state k, contiguous; first <= k < first + columns().
    double* state(int k)
    {
        return table_.get() + static_cast<std::size_t>(k - first) * static_cast<std::size_t>(size_);
    }
    const double* state(int k) const
    {
        return table_.get() + static_cast<std::size_t>(k - first) * static_cast<std::size_t>(size_);
    }
    // State-major storage with room for at least `count` states (LAPACK's layout of eigenvectors),
    // enlarged when needed: the states already there are kept when `keep` is set, else left
    // meaningless. Throws std::bad_alloc when the memory is not there.
    double* table(int count, bool keep = false);

    // E[k]: energy of state k, eV, ascending for electrons. Hole levels are expressed as electron
    // energies (so they descend). States the eigen-solver did not return have E = 1e6 and psi = 0.
    std::vector<double> E;
    // M: how many states the eigen-solver returned (N unless it failed, or the states were followed
    // from the last pass: then those followed, at least every needed one).
    int returned = 0;
    // The state in the table's first column: 0, except while states are solved a block at a time.
    int first = 0;
    // States first..withVectors-1 carry their normalised psi; the others only their energy. A solve of the
    // needed states stops where every further state lies more than 40 kT beyond the quasi-Fermi level
    // at every point and beyond the bound-state window: such a state adds exactly zero to the density
    // and is never bound. N after a solve of all states.
    int withVectors = 0;
    // Per state: every psi^2 is a finite number, so a zero occupation adds exactly nothing.
    std::vector<unsigned char> finiteSquares;

    // Bytes of a table with room for `states` states of an N-point grid.
    static double tableBytes(double N, double states) { return N * states * sizeof(double); }

  private:
    int size_ = 0;
    int columns_ = 0;
    std::unique_ptr<double[]> table_;
};

// The effective mass of `carrier` at a point, m0.
[[nodiscard]] double effectiveMass(const GridPoint& p, Carrier carrier);

// A stretch of consecutive points that share mass, temperature and quasi-Fermi level: every state's
// occupation is the same number at all of them. Inside a layer of constant laws there is one.
struct OccupationRun {
    std::size_t first = 0; // first point
    std::size_t end = 0;   // one past the last point
    double mass = 0.0;     // kg
    double T = 0.0;        // K
    double Ef = 0.0;       // eV
};

// The runs of the grid's points for one carrier kind (its mass, Tn or Tp, Efn or Efp), in order.
std::vector<OccupationRun> occupationRuns(const Grid& grid, Carrier carrier);

// Which states a solve computes psi for: every one, or only those that can be occupied or bound (the
// energies of all N are found either way). The dense eigen-solver always computes every state.
// Lowest: the needed states alone, as the accelerated passes take them: from the whole spectrum or by
// bisection for them alone, whichever costs less, and then followed from pass to pass; the same
// states to rounding but not to the bit, and only those states' energies.
enum class StateScope { All, Needed, Lowest };

// Bound states of the effective-mass Schroedinger equation over the whole grid, for electrons
// (potential Ec, mass me) and for holes (potential -Ev, mass mlh or mhh). Every state is computed
// and normalised so that the trapezoid sum of psi^2 dx is 1; the result lists the states, ascending,
// that vanish at both contacts and lie within 0.1 eV of the potential's range. An eigen-solver
// failure is reported ("failed on dsyevx!") and the states it did not return are left zero with
// E = 1e6. Requires N >= 3.
//
// With StateScope::Needed or Lowest and the tridiagonal solver, a `track` carries the states from one solve
// to the next: when it holds the previous solve's values and the table still holds its states, those are
// followed to the new potential (engine/eigenpair_tracking.h) instead of solved from scratch; either
// way the track is left holding this solve's.
std::vector<int> solveElectronStates(const Grid& grid, EigenSolution& solution, EigenSolverKind solver,
                                     Observer& observer, StateScope scope = StateScope::All,
                                     EigenpairTrack* track = nullptr);
std::vector<int> solveHoleStates(const Grid& grid, EigenSolution& solution, Carrier kind,
                                 EigenSolverKind solver, Observer& observer,
                                 StateScope scope = StateScope::All, EigenpairTrack* track = nullptr);

// Every state of a carrier kind, solved with the tridiagonal solver a block of vectors at a time
// (lapack::tridiagonalEigenpairBlocks, blocks of 64 MiB), so that no table of every state is held:
// after each block use(block) gets its states (block.first..block.withVectors-1, psi normalised,
// energies in eV). At the end solution.E holds every energy (eV) and solution.returned how many were
// found. Up to 2,896 points in one block, the states of StateScope::All to the bit; beyond, the same to
// rounding (a component that prints as zero may change its sign), and from about 5,000 points, where
// the top of the spectrum is one cluster too long to hold, those states up to their (arbitrary) sign.
void solveAllStatesInBlocks(const Grid& grid, EigenSolution& solution, Carrier carrier, Observer& observer,
                            const std::function<void(const EigenSolution& block)>& use);

// Whether every state of an N-point grid fits the one block of solveAllStatesInBlocks (up to 2,896
// points): then a table of them all costs no more memory than the blocks.
[[nodiscard]] bool allStatesInOneBlock(int N);

// Adds the density (m^-3) of the states of `solution` that have their vector, with the point's own
// mass, temperature and quasi-Fermi level of `carrier`, to `density` (N entries), state by state in
// ascending order.
void addStateDensity(const Grid& grid, const EigenSolution& solution, Carrier carrier,
                     std::vector<double>& density);

// How many of the lowest states a solve with StateScope::Needed computes psi for on this grid: those
// below max(Vmax + 0.1 eV, Ef + 40 kT at every point), counted
// without solving; N when a temperature, mass or quasi-Fermi level is not a usable number.
int neededStates(const Grid& grid, Carrier carrier);

// nBound of every point (m^-3): the two-dimensional Fermi occupation of every state at the point's
// own me, Tn and Efn, times psi^2, summed over all N states (bound or not).
void electronDensityFromStates(Grid& grid, const EigenSolution& solution);

// Adds one hole kind's density (m^-3) at every point to `density` (N entries), with the point's
// own mass of that kind, Tp and Efp. pBound is light holes then heavy holes accumulated in one sum;
// holeDensityFromStates stores such a sum.
void addHoleDensityFromStates(const Grid& grid, const EigenSolution& solution, Carrier kind,
                              std::vector<double>& density);
void holeDensityFromStates(Grid& grid, const std::vector<double>& density);

// Appends the states `bound` of `solution` (of `carrier`) to `subbands`: each level against the
// quasi-Fermi level where its |psi|^2 peaks, and the trapezoid integral of its occupation times psi^2.
void appendSubbands(const Grid& grid, const EigenSolution& solution, Carrier carrier,
                    const std::vector<int>& bound, std::vector<Subband>& subbands);

// Whether any state of this hole kind holds holes at any point, decided from the hole levels alone
// (no states are computed): when it does not, the kind adds exactly zero to pBound and its states
// need not be solved for. True when it cannot be told (the levels not found, a temperature, mass or
// quasi-Fermi level that is not a finite number).
bool holeStatesOccupied(const Grid& grid, Carrier kind);

} // namespace tervane

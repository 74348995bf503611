// The effective-mass Schroedinger equation -(hbar^2/2) d/dx (1/m d/dx) psi + qV psi = E psi on the
// grid, in the symmetric form obtained by weighting point i with w_i = sqrt(h_i / 2) (h_i the width of
// its box), and the two-dimensional carrier densities built from all of its states.
#include "engine/bound_states.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>

#include "engine/eigenpair_tracking.h"
#include "engine/grid.h"
#include "engine/lapack.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

namespace {

constexpr double windowMargin = 0.1;     // eV beyond the potential's range that a bound level may lie
constexpr double rangeStart = 1000.0;    // eV; Vmin starts here and Vmax at its negative
constexpr double contactLimit = 1e5;     // m^-1/2 for psi, m^-3/2 for its slope, at either contact
constexpr double unreturnedEnergy = 1e6; // eV: far above any quasi-Fermi level
// A level further than this many kT beyond the quasi-Fermi level has exactly zero occupation:
// exp(-40) is below half an ulp of 1, so kT ln(1 + exp(-E/kT)) rounds to 0 (from about 36.7 kT on).
constexpr double emptyLevelExponent = 40.0;
// eV added to the level below which states are needed: far above the rounding of a Sturm count and of
// the conversion of eigenvalues to eV, so that no state counted out is occupied or inside the window.
constexpr double neededLevelMargin = 1e-6;
// The smallest gap between two followed states, in units of the matrix norm: the passes that keep to
// the whole spectrum's bits accept vectors to about 1e-10; the lowest states alone, which differ from
// it by rounding anyway, to about 1e-5 (a continuum of a micrometre at 32,800 points has gaps of
// 5e-9 of the norm), which moves a density by far less than the convergence tolerance.
constexpr double neededGap = 1e-6;
constexpr double lowestGap = 1e-10;

// Bytes of vectors held at once by a solve of every state (for the eigenstate files): the fewer the
// blocks, the fewer the places where a block's first vector is computed from a gap that differs from
// the whole spectrum's in its last bit (up to 2,896 points there are none).
constexpr double allStatesBlockBytes = 64.0 * 1024 * 1024;
constexpr int smallestBlock = 128;

int allStatesBlock(int N)
{
    return std::max(smallestBlock, static_cast<int>(allStatesBlockBytes / (sizeof(double) * N)));
}

} // namespace

double effectiveMass(const GridPoint& p, Carrier carrier)
{
    switch (carrier) {
    case Carrier::Electron:
        return p.me;
    case Carrier::LightHole:
        return p.mlh;
    case Carrier::HeavyHole:
        break;
    }
    return p.mhh;
}

namespace {

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

std::vector<OccupationRun> occupationRuns(const Grid& grid, Carrier carrier)
{
    std::vector<OccupationRun> runs;
    const auto n = static_cast<std::size_t>(grid.count);
    for (std::size_t i = 0; i < n; ++i) {
        const GridPoint& p = grid.points[i];
        const bool electron = carrier == Carrier::Electron;
        const double mass = effectiveMass(p, carrier) * m0;
        const double T = electron ? p.Tn : p.Tp;
        const double Ef = electron ? p.Efn : p.Efp;
        if (!runs.empty()) {
            OccupationRun& last = runs.back();
            if (sameBits(last.mass, mass) && sameBits(last.T, T) && sameBits(last.Ef, Ef)) {
                last.end = i + 1;
                continue;
            }
        }
        runs.push_back({i, i + 1, mass, T, Ef});
    }
    return runs;
}

namespace {

// Potential energy of the carrier, eV: Ec for electrons, -Ev for holes (hole energies count downwards).
double potentialOf(const GridPoint& p, Carrier carrier)
{
    return carrier == Carrier::Electron ? p.conductionEdge() : -p.valenceEdge();
}

// The weighted symmetric tridiagonal matrix, in J. The interval from point i-1 to point i carries the
// mass of its left point; the end rows couple only to their one inner neighbour.
struct Hamiltonian {
    std::vector<double> w;        // sqrt(h_i / 2), m^1/2
    std::vector<double> diagonal; // D_i
    std::vector<double> coupling; // a_i between points i-1 and i; a_0 = 0
    double Vmin = rangeStart;     // eV
    double Vmax = -rangeStart;
};

Hamiltonian buildHamiltonian(const Grid& grid, Carrier carrier)
{
    const int N = grid.count;
    const auto n = static_cast<std::size_t>(N);
    const std::vector<double>& dx = grid.dx;
    Hamiltonian h;
    h.w.resize(n);
    h.diagonal.resize(n);
    h.coupling.assign(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        double width;
        if (i == 0)
            width = 2 * dx[0];
        else if (i == n - 1)
            width = 2 * dx[n - 2];
        else
            width = dx[i - 1] + dx[i];
        h.w[i] = std::sqrt(width / 2);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const GridPoint& p = grid.points[i];
        const double V = potentialOf(p, carrier);
        const double w2 = h.w[i] * h.w[i];
        double left = 0.0;
        double right = 0.0;
        if (i >= 1)
            left = -hbarSquared / (twoM0 * effectiveMass(grid.points[i - 1], carrier) * dx[i - 1] * w2);
        if (i + 1 <= n - 1)
            right = -hbarSquared / (twoM0 * effectiveMass(p, carrier) * dx[i] * w2);
        h.diagonal[i] = q * V - (left + right);
        if (i >= 1)
            h.coupling[i] = left * h.w[i] / h.w[i - 1];
        if (V < h.Vmin)
            h.Vmin = V;
        if (V > h.Vmax)
            h.Vmax = V;
    }
    return h;
}

// Whether kT ln(1 + exp(-E/kT)) m of this run is a finite number that is exactly zero for every
// E beyond 40 kT; not so for a temperature, mass or quasi-Fermi level that is not a usable number.
bool emptiesBeyondLimit(const OccupationRun& run)
{
    const double kT = kB * run.T;
    return kT > 0.0 && std::isfinite(kT) && std::isfinite(run.mass) && run.mass >= 0.0 &&
           std::isfinite(run.Ef);
}

// The level (eV; for holes in hole energies, so -E) from which on no state is occupied at any point
// nor inside the bound-state window; +infinity when that cannot be told.
double neededLevelLimit(const Grid& grid, const Hamiltonian& h, Carrier carrier)
{
    double limit = h.Vmax + windowMargin;
    for (const OccupationRun& run : occupationRuns(grid, carrier)) {
        if (!emptiesBeyondLimit(run))
            return std::numeric_limits<double>::infinity();
        const double empty = emptyLevelExponent * kB * run.T;
        // Electrons are empty from Ef + 40 kT up; holes (E = -level) from Efp - 40 kT down.
        limit = std::max(limit, carrier == Carrier::Electron ? run.Ef + empty : empty - run.Ef);
    }
    return limit + neededLevelMargin;
}

int neededStates(const Grid& grid, const Hamiltonian& h, Carrier carrier)
{
    const int N = static_cast<int>(h.diagonal.size());
    const double limit = neededLevelLimit(grid, h, carrier);
    if (!std::isfinite(limit) || !std::isfinite(limit * q))
        return N;
    return lapack::tridiagonalCountBelow(N, h.diagonal.data(), h.coupling.data(), limit * q);
}

lapack::EigenResult diagonalise(const Hamiltonian& h, EigenSolution& solution, EigenSolverKind solver,
                                int wanted, bool lowestOnly)
{
    const int N = solution.size();
    if (solver == EigenSolverKind::Tridiagonal && lowestOnly) {
        // Straight into the table, the two parts at once.
        double* table = nullptr;
        return lapack::tridiagonalEigenpairBlocks(
            N, h.diagonal.data(), h.coupling.data(), wanted, wanted, true, solution.E.data(),
            [&](int part, int first, int count) {
                if (part < 0)
                    table = solution.table(count);
                return table + static_cast<std::size_t>(first) * static_cast<std::size_t>(N);
            },
            [](int, int, int) {});
    }
    if (solver == EigenSolverKind::Tridiagonal)
        return lapack::tridiagonalLowestEigenpairs(N, h.diagonal.data(), h.coupling.data(), wanted,
                                                   solution.E.data(),
                                                   [&solution](int count) { return solution.table(count); });
    // The dense matrix lives only for this call: N by N, column-major.
    const auto n = static_cast<std::size_t>(N);
    std::vector<double> a(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        a[i + i * n] = h.diagonal[i];
        if (i >= 1) {
            a[(i - 1) + i * n] = h.coupling[i];
            a[i + (i - 1) * n] = h.coupling[i];
        }
    }
    return lapack::denseEigenpairs(N, a.data(), (h.Vmin - windowMargin) * q, (h.Vmax + windowMargin) * q,
                                   solution.E.data(), solution.table(N));
}

// The states a pass solves for beyond those it needs when it keeps a track.
constexpr int followMargin = 16;

// How many states were followed from the track (0 when that was not possible): the needed ones and up
// to followMargin more, as far as the track reaches.
int followedStates(const Hamiltonian& h, const EigenpairTrack& track, int wanted, EigenSolution& solution,
                   double minRelativeGap)
{
    const int N = solution.size();
    const int tracked = static_cast<int>(track.values.size());
    const int count = std::min({N, tracked, wanted + followMargin});
    if (count < wanted || count > solution.columns() ||
        !followEigenpairs(N, h.diagonal.data(), h.coupling.data(), h.w.data(), track, count,
                          solution.E.data(), solution.table(count, true), minRelativeGap,
                          minRelativeGap < neededGap))
        return 0;
    return count;
}

// How many of the lowest states were found by isolating them (0 when that was not possible): the
// needed ones and followMargin more, from the track's estimates when it has them.
int isolatedStates(const Hamiltonian& h, const EigenpairTrack& track, int wanted, EigenSolution& solution)
{
    const int N = solution.size();
    const int count = std::min(N, wanted + followMargin);
    if (count > solution.columns() ||
        !isolateEigenpairs(N, h.diagonal.data(), h.coupling.data(), h.w.data(), &track, count,
                           solution.E.data(), solution.table(count, true), lowestGap))
        return 0;
    return count;
}

// Back from the weighted unknowns to psi, then to a unit trapezoid integral of psi^2, for the states
// from..to-1 of the table.
void normaliseStatesOnOneThread(const Grid& grid, const Hamiltonian& h, EigenSolution& solution, int from,
                                int to)
{
    const auto n = static_cast<std::size_t>(grid.count);
    const std::vector<double>& dx = grid.dx;
    for (int k = from; k < to; ++k) {
        double* s = solution.state(k);
        for (std::size_t i = 0; i < n; ++i)
            s[i] /= h.w[i];
        double sum = 0.0;
        for (std::size_t i = 0; i + 1 < n; ++i)
            sum += (s[i] * s[i] + s[i + 1] * s[i + 1]) * dx[i] / 2;
        const double norm = std::sqrt(sum);
        double squares = 0.0;
        if (norm != 0.0) {
            for (std::size_t i = 0; i < n; ++i) {
                s[i] /= norm;
                squares += s[i] * s[i];
            }
        }
        solution.finiteSquares[static_cast<std::size_t>(k)] = std::isfinite(squares) ? 1 : 0;
    }
}

// The same on two threads when there are many states: each state is its own work, so the results do
// not depend on the threads.
void normaliseStates(const Grid& grid, const Hamiltonian& h, EigenSolution& solution, int from, int to)
{
    constexpr double pointsPerThread = 1e6; // states times points below which one thread does it all
    if (static_cast<double>(to - from) * grid.count < 2 * pointsPerThread || lapack::threadsPerSolve() < 2) {
        normaliseStatesOnOneThread(grid, h, solution, from, to);
        return;
    }
    const int half = from + (to - from) / 2;
    std::thread upper([&] { normaliseStatesOnOneThread(grid, h, solution, half, to); });
    normaliseStatesOnOneThread(grid, h, solution, from, half);
    upper.join();
}

// The bound ones among the states from..to-1 (energies in eV): the state vanishes at both contacts and
// its level lies within the margin of the potential's range.
std::vector<int> boundStates(const Grid& grid, const Hamiltonian& h, const EigenSolution& solution,
                             Carrier carrier, int from, int to)
{
    const auto n = static_cast<std::size_t>(grid.count);
    const std::vector<double>& dx = grid.dx;
    std::vector<int> bound;
    for (int k = from; k < to; ++k) {
        const double E = solution.E[static_cast<std::size_t>(k)];
        const double level = carrier == Carrier::Electron ? E : -E;
        const double* s = solution.state(k);
        const bool leftContact =
            std::fabs(s[1] - s[0]) / dx[0] < contactLimit && std::fabs(s[0]) < contactLimit;
        const bool rightContact =
            std::fabs(s[n - 2] - s[n - 1]) / dx[n - 2] < contactLimit && std::fabs(s[n - 1]) < contactLimit;
        const bool inWindow = h.Vmin - windowMargin < level && level < h.Vmax + windowMargin;
        if (leftContact && rightContact && inWindow)
            bound.push_back(k);
    }
    return bound;
}

std::vector<int> solveStates(const Grid& grid, EigenSolution& solution, Carrier carrier,
                             EigenSolverKind solver, Observer& observer, StateScope scope,
                             EigenpairTrack* track)
{
    const int N = grid.count;
    if (N < 3 || solution.size() != N) {
        solution.returned = 0;
        solution.withVectors = 0;
        return {};
    }
    const auto n = static_cast<std::size_t>(N);
    const Hamiltonian h = buildHamiltonian(grid, carrier);
    solution.first = 0;

    // The dense solver stays the literal all-states reference.
    const bool needed = scope != StateScope::All && solver == EigenSolverKind::Tridiagonal;
    const bool lowestOnly = needed && scope == StateScope::Lowest;
    const int wanted = needed ? neededStates(grid, h, carrier) : N;
    // A pass after the first follows the states of the one before when it can: the table then still
    // holds them, and only the potential has changed.
    lapack::EigenResult result;
    // A few states beyond those needed are solved for too, so that the next pass can still follow when
    // it needs a few more; they hold no carriers and are not bound, so they change nothing.
    int followed = 0;
    if (needed && track)
        followed = lowestOnly ? isolatedStates(h, *track, wanted, solution)
                              : followedStates(h, *track, wanted, solution, neededGap);
    if (followed > 0) {
        result.found = followed;
        result.withVectors = followed;
    } else {
        result = diagonalise(h, solution, solver,
                             needed && track ? std::min(N, wanted + followMargin) : wanted, lowestOnly);
    }
    if (!result.ok())
        observer.message("failed on dsyevx!");
    if (track) {
        track->clear();
        if (result.ok()) {
            const auto kept = static_cast<std::size_t>(std::min(result.found, result.withVectors));
            track->values.assign(solution.E.begin(), solution.E.begin() + static_cast<std::ptrdiff_t>(kept));
            track->diagonal = h.diagonal;
            track->coupling = h.coupling;
        }
    }
    const int M = result.found;
    solution.returned = M;
    // When every returned state has its vector, the unreturned ones (zero) count as having theirs. A
    // followed solve returns only the states it followed: the others' columns are left as they are and
    // never read.
    const int withVectors = followed > 0 || lowestOnly || result.withVectors < M ? result.withVectors : N;
    solution.withVectors = withVectors;
    for (int k = M; k < N; ++k) {
        if (followed == 0 && k < solution.columns()) {
            double* s = solution.state(k);
            for (std::size_t i = 0; i < n; ++i)
                s[i] = 0.0;
        }
        solution.E[static_cast<std::size_t>(k)] = unreturnedEnergy;
    }

    normaliseStates(grid, h, solution, 0, withVectors);
    // Energies to eV (holes counted downwards again), then the bound-state test.
    const double toEV = carrier == Carrier::Electron ? qInverse : -qInverse;
    for (int k = 0; k < M; ++k)
        solution.E[static_cast<std::size_t>(k)] *= toEV;
    return boundStates(grid, h, solution, carrier, 0, std::min(M, withVectors));
}

// density[i] += sum over all states k of sheetOccupancy(E, mass, T) psi[i][k]^2, k ascending, with
// E = E[k] - Efn for electrons and Efp - E[k] for holes. The occupation is evaluated once per state
// and run; a state whose occupation is exactly zero everywhere adds exactly zero and is passed over.
// So are the states without a vector: each is empty at every point.
void addDensity(const Grid& grid, const EigenSolution& solution, Carrier carrier,
                std::vector<double>& density)
{
    const std::vector<OccupationRun> runs = occupationRuns(grid, carrier);
    std::vector<double> occupation(runs.size());
    const int N = solution.size();
    const bool electron = carrier == Carrier::Electron;
    // States the eigen-solver did not return carry no occupation (they are zero).
    for (int k = solution.first; k < solution.returned && k < solution.withVectors && k < N; ++k) {
        const double E = solution.E[static_cast<std::size_t>(k)];
        bool occupied = false;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const OccupationRun& run = runs[r];
            occupation[r] = sheetOccupancy(electron ? E - run.Ef : run.Ef - E, run.mass, run.T);
            if (occupation[r] != 0.0)
                occupied = true;
        }
        if (!occupied && solution.finiteSquares[static_cast<std::size_t>(k)])
            continue;
        const double* s = solution.state(k);
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const double f = occupation[r];
            for (std::size_t i = runs[r].first; i < runs[r].end; ++i)
                density[i] += f * (s[i] * s[i]);
        }
    }
}

} // namespace

EigenSolution::EigenSolution(int N)
    : E(static_cast<std::size_t>(N > 0 ? N : 0), 0.0),
      finiteSquares(static_cast<std::size_t>(N > 0 ? N : 0), 1), size_(N > 0 ? N : 0)
{
}

double* EigenSolution::table(int count, bool keep)
{
    count = std::clamp(count, 1, std::max(size_, 1));
    if (count > columns_) {
        const auto n = static_cast<std::size_t>(size_);
        auto larger = std::make_unique_for_overwrite<double[]>(n * static_cast<std::size_t>(count));
        if (keep && table_)
            std::copy(table_.get(), table_.get() + n * static_cast<std::size_t>(columns_), larger.get());
        table_ = std::move(larger);
        columns_ = count;
    }
    return table_.get();
}

std::vector<int> solveElectronStates(const Grid& grid, EigenSolution& solution, EigenSolverKind solver,
                                     Observer& observer, StateScope scope, EigenpairTrack* track)
{
    return solveStates(grid, solution, Carrier::Electron, solver, observer, scope, track);
}

std::vector<int> solveHoleStates(const Grid& grid, EigenSolution& solution, Carrier kind,
                                 EigenSolverKind solver, Observer& observer, StateScope scope,
                                 EigenpairTrack* track)
{
    return solveStates(grid, solution, kind, solver, observer, scope, track);
}

void solveAllStatesInBlocks(const Grid& grid, EigenSolution& solution, Carrier carrier, Observer& observer,
                            const std::function<void(const EigenSolution& block)>& use)
{
    const int N = grid.count;
    solution.first = 0;
    solution.returned = 0;
    solution.withVectors = 0;
    if (N < 3 || solution.size() != N)
        return;
    const Hamiltonian h = buildHamiltonian(grid, carrier);
    const double toEV = carrier == Carrier::Electron ? qInverse : -qInverse;
    // The blocks have a table of their own: the solution's keeps what a pass left in it.
    EigenSolution block(N);
    const lapack::EigenResult result = lapack::tridiagonalEigenpairBlocks(
        N, h.diagonal.data(), h.coupling.data(), N, allStatesBlock(N), false, solution.E.data(),
        [&block](int part, int, int count) { return part < 0 ? nullptr : block.table(count); },
        [&](int, int first, int count) {
            const int end = first + count;
            block.first = first;
            block.withVectors = end;
            block.returned = end;
            for (int k = first; k < end; ++k)
                block.E[static_cast<std::size_t>(k)] = solution.E[static_cast<std::size_t>(k)] * toEV;
            normaliseStates(grid, h, block, first, end);
            use(block);
        });
    if (!result.ok())
        observer.message("failed on dsyevx!");
    const int found = result.ok() ? result.withVectors : 0;
    for (int k = 0; k < N; ++k)
        solution.E[static_cast<std::size_t>(k)] =
            k < found ? solution.E[static_cast<std::size_t>(k)] * toEV : unreturnedEnergy;
    solution.returned = found;
}

bool allStatesInOneBlock(int N)
{
    return allStatesBlock(N) >= N;
}

void addStateDensity(const Grid& grid, const EigenSolution& solution, Carrier carrier,
                     std::vector<double>& density)
{
    addDensity(grid, solution, carrier, density);
}

int neededStates(const Grid& grid, Carrier carrier)
{
    if (grid.count < 3)
        return grid.count;
    return neededStates(grid, buildHamiltonian(grid, carrier), carrier);
}

void electronDensityFromStates(Grid& grid, const EigenSolution& solution)
{
    std::vector<double> density(static_cast<std::size_t>(grid.count), 0.0);
    addDensity(grid, solution, Carrier::Electron, density);
    for (std::size_t i = 0; i < density.size(); ++i)
        grid.points[i].nBound = density[i];
}

void addHoleDensityFromStates(const Grid& grid, const EigenSolution& solution, Carrier kind,
                              std::vector<double>& density)
{
    addDensity(grid, solution, kind, density);
}

bool holeStatesOccupied(const Grid& grid, Carrier kind)
{
    const Carrier carrier = kind;
    const int N = grid.count;
    const Hamiltonian h = buildHamiltonian(grid, carrier);
    // Empty everywhere when the highest hole level (as an electron energy, -lowest eigenvalue / q) lies
    // more than 40 kT below Efp at every point: no eigenvalue below q (40 kT - Efp), for the largest
    // such bound over the points.
    double emptyFrom = -std::numeric_limits<double>::infinity(); // eV, in hole energies
    for (const OccupationRun& run : occupationRuns(grid, carrier)) {
        if (!emptiesBeyondLimit(run))
            return true;
        emptyFrom = std::max(emptyFrom, emptyLevelExponent * kB * run.T - run.Ef);
    }
    if (!std::isfinite(emptyFrom))
        return true;
    const double limit = (emptyFrom + neededLevelMargin) * q;
    if (!std::isfinite(limit))
        return true;
    return lapack::tridiagonalCountBelow(N, h.diagonal.data(), h.coupling.data(), limit) > 0;
}

void holeDensityFromStates(Grid& grid, const std::vector<double>& density)
{
    for (std::size_t i = 0; i < density.size() && i < grid.points.size(); ++i)
        grid.points[i].pBound = density[i];
}

void appendSubbands(const Grid& grid, const EigenSolution& solution, Carrier carrier,
                    const std::vector<int>& bound, std::vector<Subband>& subbands)
{
    const auto n = static_cast<std::size_t>(grid.count);
    const bool electron = carrier == Carrier::Electron;
    for (const int k : bound) {
        const double E = solution.E[static_cast<std::size_t>(k)];
        const double* psi = solution.state(k);
        std::size_t peak = 0;
        double x = 0.0;
        double peakX = 0.0;
        double population = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const GridPoint& p = grid.points[i];
            if (psi[i] * psi[i] > psi[peak] * psi[peak]) {
                peak = i;
                peakX = x;
            }
            if (i + 1 < n) {
                const GridPoint& r = grid.points[i + 1];
                const double left = sheetOccupancy(electron ? E - p.Efn : p.Efp - E,
                                                   effectiveMass(p, carrier) * m0, electron ? p.Tn : p.Tp);
                const double right = sheetOccupancy(electron ? E - r.Efn : r.Efp - E,
                                                    effectiveMass(r, carrier) * m0, electron ? r.Tn : r.Tp);
                population += (left * psi[i] * psi[i] + right * psi[i + 1] * psi[i + 1]) * grid.dx[i] / 2;
                x += grid.dx[i];
            }
        }
        const GridPoint& at = grid.points[peak];
        subbands.push_back({carrier, E - (electron ? at.Efn : at.Efp), population, peakX});
    }
}

} // namespace tervane

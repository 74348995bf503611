// The self-consistent solve: the document's layers and materials become a grid, the polarization
// potential is integrated once, then Newton steps of Poisson's equation run classically and, with the
// Schroedinger switch, alternate with bound-state solutions.
#include "engine/solve_driver.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "engine/document.h"
#include "engine/grid.h"
#include "engine/schroedinger.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

namespace {

constexpr double initialError = 500.0;
constexpr double classicalTolerance = 1e-5;
constexpr double biasTolerance = 1e-8;
constexpr int statusRefreshSteps = 5;
constexpr double innerTolerance = 1e-10; // V, Newton steps between two accelerated passes
constexpr int innerSteps = 50;
constexpr double sheetChargeFactor = 5e-5; // 1/2 of the trapezoid times 1e-4 for m^-2 -> cm^-2

// Why a layer cannot be cut into grid points, or empty when it can.
std::string unusableLayerReason(const Layer& layer)
{
    if (!std::isfinite(layer.thickness) || layer.thickness < 0.0)
        return "the thickness must be a finite number of 0 or more";
    if (layer.thickness > 0.0 && !(layer.dx > 0.0 && std::isfinite(layer.dx)))
        return "the grid spacing dx must be a positive number for a layer of non-zero thickness";
    return {};
}

// Points of a usable layer: the integer part of thickness/dx + 0.5; none for a layer of no thickness,
// whatever its dx.
double pointCount(const Layer& layer)
{
    return layer.thickness > 0.0 ? std::trunc(layer.thickness / layer.dx + 0.5) : 0.0;
}

// The layer that holds grid point k, by the points each layer adds.
std::size_t layerOfPoint(const Document& document, int k)
{
    double end = 0.0;
    for (std::size_t index = 0; index < document.layers.size(); ++index) {
        const Layer& layer = document.layers[index];
        if (!unusableLayerReason(layer).empty())
            return index;
        end += pointCount(layer);
        if (k < end)
            return index;
    }
    return document.layers.empty() ? 0 : document.layers.size() - 1;
}

// What a point takes from its layer, its material and the polarization integral. A value that is not
// a finite number there, or a permittivity that is not positive, is where a non-finite solution starts.
bool pointInputsUsable(const Grid& grid, int k)
{
    const GridPoint& p = grid.point(k);
    const auto j = static_cast<std::size_t>(k);
    for (double value : {p.dEc, p.Eg, p.phiPol, p.Nd, p.Na, p.Ndd, p.Nda, p.EdShallow, p.EaShallow, p.EdDeep,
                         p.EaDeep, p.me, p.mlh, p.mhh, p.Efn, p.Efp, p.Tn, p.Tp, grid.dx[j]})
        if (!std::isfinite(value))
            return false;
    return grid.eps[j] > 0.0 && std::isfinite(grid.eps[j]);
}

bool solutionFinite(const GridPoint& p, DensityMode mode)
{
    return std::isfinite(p.phi) && std::isfinite(p.conductionEdge()) && std::isfinite(p.valenceEdge()) &&
           std::isfinite(p.electronDensity(mode)) && std::isfinite(p.holeDensity(mode));
}

// After a phase: when the potential, a band edge or a density of some point is NaN or infinite, says so,
// naming the layer where it starts (the first point whose own values are unusable, else the first
// point whose solution is not finite), empties the grid so that no view or export shows the garbage,
// and returns true. A finite solution is left exactly as it is.
bool stopOnNonFiniteSolution(Document& document, Observer& observer)
{
    Grid& grid = document.grid;
    int firstNonFinite = -1;
    for (int k = 0; k < grid.count && firstNonFinite < 0; ++k)
        if (!solutionFinite(grid.point(k), grid.modeAt(k)))
            firstNonFinite = k;
    if (firstNonFinite < 0)
        return false;
    int origin = firstNonFinite;
    for (int k = 0; k < grid.count; ++k) {
        if (!pointInputsUsable(grid, k)) {
            origin = k;
            break;
        }
    }
    const std::size_t index = layerOfPoint(document, origin);
    observer.message(layerLabel(index, document.layers[index]) +
                     ": the solution is not finite (NaN or infinity); check the layer and its material "
                     "parameters");
    grid.reset(0);
    document.solverError = std::numeric_limits<double>::quiet_NaN();
    document.sheetCharge = 0.0;
    return true;
}

void publishStatus(Document& document, double error, int iterations, int boundStates)
{
    document.solverError = error;
    document.iterations = iterations;
    document.boundStates = boundStates;
}

// Between two accelerated passes: Newton steps of the Poisson equation with the bound charge following
// the potential, to innerTolerance; then nBound (and pBound) hold the densities at the new potential.
// Returns the largest change of the potential since the pass, or -1.0 after a zero pivot.
double followBoundCharge(Document& document, const SubbandDensity& subbands, Observer& observer)
{
    Grid& grid = document.grid;
    const bool holes = document.valenceSchroedingerOn;
    const auto carriers = [&](int i, const GridPoint& p) { return subbands.at(i, p); };
    for (int step = 0; step < innerSteps; ++step) {
        const double update = grid.poissonStep(carriers, observer);
        if (update < 0.0)
            return update;
        if (update <= innerTolerance)
            break;
    }
    for (int i = 1; i + 1 < grid.count; ++i) {
        GridPoint& p = grid.point(i);
        const CarrierResponse c = subbands.at(i, p);
        p.nBound = c.n;
        if (holes)
            p.pBound = c.p;
    }
    grid.solvedMode = solutionDensityMode(document);
    return subbands.largestShift(grid);
}

// The Schroedinger phase. Returns false when it could not run.
bool schroedingerPhase(Document& document, Observer& observer, bool refresh, double& error, int& pass,
                       int& bound)
{
    Grid& grid = document.grid;
    SchroedingerPhase phase(grid, document.schroedingerSettings, observer);
    const bool valence = document.valenceSchroedingerOn;
    if (!phase.prepare(valence))
        return false;
    pass = 0;
    // At least one pass runs, even with an iteration limit of 0 or less.
    do {
        bound = phase.pass(valence);
        if (document.schroedingerSettings.selfConsistency == SelfConsistency::Accelerated)
            error = followBoundCharge(document, phase.subbands(), observer);
        else
            error = grid.poissonStep(solutionDensityMode(document), observer);
        if (refresh) {
            publishStatus(document, error, pass, bound);
            observer.progressAt({SolveProgress::Phase::Schroedinger, pass + 1, error, 0});
        }
        ++pass;
        if (observer.stopRequested())
            return false;
    } while (error > document.schroedingerSettings.tolerance && pass < document.schroedingerIterations);
    document.subbands = phase.levels();
    phase.finish();
    return true;
}

// What solve() and resolveAtBias() share once the grid holds its starting potential: the contacts, the
// classical Newton steps to `tolerance`, then with the switch on the Schroedinger phase, each phase
// checked for a finite solution. `refresh` publishes the status at every fifth
// classical step. Returns false when the solution is not finite or the observer asked to stop.
bool iterateToSolution(Document& document, Observer& observer, double tolerance, bool refresh)
{
    Grid& grid = document.grid;
    grid.applyContacts(observer);
    grid.damping = document.damping;

    double error = initialError;
    int it = 0;
    while (it < document.poissonIterations && error > tolerance) {
        error = grid.poissonStep(DensityMode::Classical, observer);
        if (refresh && it % statusRefreshSteps == 0) {
            publishStatus(document, error, it, 0);
            observer.progressAt({SolveProgress::Phase::Classical, it + 1, error, 0});
        }
        ++it;
        if (observer.stopRequested())
            return false;
    }
    publishStatus(document, error, it, 0);
    document.tolerance = tolerance;
    document.converged = error >= 0.0 && error <= tolerance;
    if (stopOnNonFiniteSolution(document, observer))
        return false;

    if (document.schroedingerOn) {
        int pass = 0;
        int bound = 0;
        const bool ran = schroedingerPhase(document, observer, refresh, error, pass, bound);
        if (observer.stopRequested())
            return false;
        if (ran) {
            publishStatus(document, error, pass, bound);
            document.tolerance = document.schroedingerSettings.tolerance;
            document.converged = error >= 0.0 && error <= document.schroedingerSettings.tolerance;
            if (stopOnNonFiniteSolution(document, observer))
                return false;
        }
    }
    return true;
}

} // namespace

bool solve(Document& document, Observer& observer)
{
    Grid& grid = document.grid;
    grid.reset(0);
    document.subbands.clear();
    document.converged = true;
    if (document.layers.empty())
        return true;

    document.chargeFirst = 0;
    document.chargeLast = 0;
    double Pprev = 0.0;

    // Fields the loop does not set for a point keep the value they had for the previous point.
    GridPoint templatePoint;
    for (std::size_t index = 0; index < document.layers.size(); ++index) {
        const Layer& layer = document.layers[index];
        const Material* material = layerMaterial(document, layer, observer);
        if (!material)
            return false;

        if (const std::string reason = unusableLayerReason(layer); !reason.empty()) {
            observer.message(layerLabel(index, layer) + ": " + reason);
            return false;
        }
        const double n = pointCount(layer);
        if (n > 0.0 && static_cast<double>(grid.count) + n > static_cast<double>(maxGridPoints)) {
            observer.message(layerLabel(index, layer) + ": the structure would need more than " +
                             std::to_string(maxGridPoints) + " grid points; use a larger dx");
            return false;
        }
        const int layerPoints = n > 0.0 ? static_cast<int>(n) : 0;
        grid.points.reserve(grid.points.size() + static_cast<std::size_t>(layerPoints));
        for (int i = 0; i < layerPoints; ++i) {
            grid.dx.push_back(layer.dx);
            const double t = i * layer.dx / layer.thickness;
            const double x = layer.composition.value(t);
            grid.eps.push_back(material->eps.value(x) * eps0);
            templatePoint.Nd = layer.Nd;
            templatePoint.Na = layer.Na;
            templatePoint.Ndd = layer.Ndd;
            templatePoint.Nda = layer.Nda;
            if (document.polarizationOn) {
                const double f = layer.relaxed ? layer.strainFactor : 1.0;
                const double P =
                    material->polarization.polarizationAt(x, f, document.substrateA, document.substratePsp);
                templatePoint.dP = P - Pprev;
                Pprev = P;
            }
            const MaterialValues values = material->valuesAt(x);
            templatePoint.Eg = values.Eg;
            templatePoint.dEc = values.dEc;
            templatePoint.me = values.me;
            templatePoint.mlh = values.mlh;
            templatePoint.mhh = values.mhh;
            templatePoint.EdShallow = values.EdShallow;
            templatePoint.EaShallow = values.EaShallow;
            templatePoint.EdDeep = values.EdDeep;
            templatePoint.EaDeep = values.EaDeep;
            templatePoint.fullyIonized = document.fullyIonized;
            templatePoint.Efn = layer.Efn.value(t);
            templatePoint.Efp = layer.Efp.value(t);
            templatePoint.Tn = layer.Tn.value(t);
            templatePoint.Tp = layer.Tp.value(t);
            templatePoint.holes = layer.holes;
            grid.points.push_back(templatePoint);
            ++grid.count;
        }
    }
    grid.fullyIonized = document.fullyIonized;

    const int N = grid.count;
    if (N > 2) {
        if (document.polarizationOn) {
            // phiPol of point k is -q times the sum over j < k of S_j dx_j / eps_j, S_j being the
            // polarization at point j: the field of the polarization charges integrated from the left.
            grid.point(0).phiPol = 0;
            double S = grid.point(0).dP;
            double V = -q * S / grid.eps[0] * grid.dx[0];
            for (int k = 1; k <= N - 1; ++k) {
                const auto j = static_cast<std::size_t>(k);
                grid.point(k).phiPol = V;
                S = S + grid.point(k).dP;
                if (k < N - 1)
                    V = V - q * S / grid.eps[j] * grid.dx[j];
            }
        }

        grid.initialGuess();
        if (!iterateToSolution(document, observer, classicalTolerance, true))
            return false;
    } else if (stopOnNonFiniteSolution(document, observer)) {
        return false;
    }

    computeSheetCharge(document);
    observer.updateAll();
    return true;
}

bool resolveAtBias(Document& document, Observer& observer)
{
    if (document.layers.empty())
        return true;
    if (document.grid.count > 2 && !iterateToSolution(document, observer, biasTolerance, false))
        return false;
    computeSheetCharge(document);
    observer.updateAll();
    return true;
}

double sheetDensity(const Document& document, int first, int last)
{
    const Grid& grid = document.grid;
    const int N = grid.count;
    const DensityMode mode = solutionDensityMode(document);
    double sum = 0;
    // A negative first index would read before the first point: the range starts at point 0.
    int i = first < 0 ? 0 : first;
    while (i < N - 1 && i <= last) {
        const double nLeft = grid.point(i).electronDensity(grid.modeIn(i, mode));
        const double nRight = grid.point(i + 1).electronDensity(grid.modeIn(i + 1, mode));
        sum = sum + (nLeft + nRight) * grid.dx[static_cast<std::size_t>(i)] * sheetChargeFactor;
        ++i;
    }
    return sum;
}

void computeSheetCharge(Document& document)
{
    document.sheetCharge = sheetDensity(document, document.chargeFirst, document.chargeLast);
}

void setChargeRange(Document& document, int first, int last)
{
    document.chargeFirst = first;
    document.chargeLast = last;
    computeSheetCharge(document);
}

void setChargeRangeByDepth(Document& document, double from, double to)
{
    constexpr double slack = 1e-15; // m
    const Grid& grid = document.grid;
    int first = grid.count;
    int last = -1;
    double x = 0.0;
    for (int i = 0; i + 1 < grid.count; ++i) {
        const double next = x + grid.dx[static_cast<std::size_t>(i)];
        if (x >= from - slack && first == grid.count)
            first = i;
        if (next <= to + slack)
            last = i;
        x = next;
    }
    setChargeRange(document, first, last);
}

} // namespace tervane

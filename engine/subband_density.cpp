#include "engine/subband_density.h"

#include <algorithm>
#include <cmath>

#include "engine/bound_states.h"
#include "model/constants.h"

namespace tervane {

namespace {

// Beyond this many kT above the quasi-Fermi level a level's occupation (below 2e-9 of kT's worth) and
// its response are left out of the predicted change; the pass's own densities keep every state.
constexpr double negligibleExponent = 20.0;
// From this many kT on, at every point, kT ln(1 + exp(-x)) is exp(-x) to within exp(-x)/2 (0.3 %): such
// a state's predicted change is the Boltzmann factor's, and all of them at a point are one sum.
constexpr double boltzmannFrom = 5.0;

} // namespace

void SubbandDensity::begin(const Grid& grid, int offset)
{
    offset_ = offset;
    states_.clear();
    tailN_.assign(grid.points.size(), 0.0);
    tailP_.assign(grid.points.size(), 0.0);
    phi0_.resize(grid.points.size());
    for (std::size_t i = 0; i < grid.points.size(); ++i)
        phi0_[i] = grid.points[i].phi;
}

void SubbandDensity::add(const Grid& grid, const EigenSolution& solution, Carrier carrier)
{
    const bool electron = carrier == Carrier::Electron;
    const auto n = static_cast<std::size_t>(grid.count);
    std::vector<double>& tail = electron ? tailN_ : tailP_;
    tail.resize(n, 0.0);
    // On a run of points with the same laws a level's distance in kT and its Boltzmann factor are one
    // number.
    const std::vector<OccupationRun> runs = occupationRuns(grid, carrier);
    std::vector<double> exponent(runs.size());
    for (int k = solution.first; k < solution.returned && k < solution.withVectors; ++k) {
        const double level = solution.E[static_cast<std::size_t>(k)];
        double nearest = negligibleExponent;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            exponent[r] = (electron ? level - runs[r].Ef : runs[r].Ef - level) / (kB * runs[r].T);
            nearest = std::min(nearest, exponent[r]);
        }
        if (!(nearest < negligibleExponent))
            continue;
        const double* psi = solution.state(k);
        if (nearest < boltzmannFrom) {
            State& state = states_.emplace_back();
            state.carrier = carrier;
            state.level = level;
            state.psiSquared.resize(n);
            for (std::size_t i = 0; i < n; ++i)
                state.psiSquared[i] = psi[i] * psi[i];
            continue;
        }
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const double factor = runs[r].mass * dos2D * (kB * runs[r].T) * std::exp(-exponent[r]);
            for (std::size_t i = runs[r].first; i < runs[r].end; ++i)
                tail[i] += psi[i] * psi[i] * factor;
        }
    }
}

void SubbandDensity::seal(const Grid& grid, bool holes)
{
    holes_ = holes;
    const std::size_t n = grid.points.size();
    tailN_.resize(n, 0.0);
    tailP_.resize(n, 0.0);
    n0_.resize(n);
    p0_.resize(n);
    predictedN0_.resize(n);
    predictedP0_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const GridPoint& p = grid.points[i];
        n0_[i] = p.nBound;
        p0_[i] = p.pBound;
        const CarrierResponse start = predicted(i, p, 0.0);
        predictedN0_[i] = start.n;
        predictedP0_[i] = start.p;
    }
}

double SubbandDensity::largestShift(const Grid& grid) const
{
    double largest = 0.0;
    const auto offset = static_cast<std::size_t>(offset_);
    for (std::size_t i = 0; i < phi0_.size() && i + offset < grid.points.size(); ++i)
        largest = std::max(largest, std::fabs(grid.points[i + offset].phi - phi0_[i]));
    return largest;
}

CarrierResponse SubbandDensity::predicted(std::size_t i, const GridPoint& p, double shift) const
{
    CarrierResponse response;
    for (const State& state : states_) {
        const double psiSquared = state.psiSquared[i];
        const bool electron = state.carrier == Carrier::Electron;
        if (psiSquared == 0.0 || (!electron && !holes_))
            continue;
        const double kT = kB * (electron ? p.Tn : p.Tp);
        // The level's distance from the quasi-Fermi level on the side where it empties, in kT.
        const double x = (electron ? state.level + shift - p.Efn : p.Efp - state.level - shift) / kT;
        if (x > negligibleExponent)
            continue;
        // kT ln(1 + exp(-x)) and the occupied fraction 1 / (1 + exp(x)), without overflow either way.
        const double e = std::exp(-std::fabs(x));
        const double filled = x > 0.0 ? kT * std::log1p(e) : kT * (-x + std::log1p(e));
        const double fraction = x > 0.0 ? e / (1.0 + e) : 1.0 / (1.0 + e);
        const double weight = psiSquared * effectiveMass(p, state.carrier) * m0 * dos2D;
        (electron ? response.n : response.p) += weight * filled;
        // The level moves by -dphi: d(occupation)/dphi is the occupied fraction times the weight.
        response.slope += q * weight * fraction;
    }
    // The states far from their quasi-Fermi level, in one Boltzmann sum per point.
    const double kTn = kB * p.Tn;
    const double tailN = tailN_[i] * std::exp(-shift / kTn);
    response.n += tailN;
    response.slope += q * tailN / kTn;
    if (holes_) {
        const double kTp = kB * p.Tp;
        const double tailP = tailP_[i] * std::exp(shift / kTp);
        response.p += tailP;
        response.slope += q * tailP / kTp;
    }
    return response;
}

CarrierResponse SubbandDensity::at(int i, const GridPoint& p) const
{
    if (i < offset_ || i - offset_ >= static_cast<int>(phi0_.size())) // outside the quantum region
        return p.boltzmannResponse(DensityMode::Classical);
    const auto j = static_cast<std::size_t>(i - offset_);
    const double shift = phi0_[j] - p.phi; // the band edges move opposite to the potential, eV
    CarrierResponse response = predicted(j, p, shift);
    response.n = std::max(0.0, n0_[j] + (response.n - predictedN0_[j]));
    if (holes_) {
        response.p = std::max(0.0, p0_[j] + (response.p - predictedP0_[j]));
    } else {
        response.p = p.holeDensity(DensityMode::Classical);
        response.slope += q * response.p / (kB * p.Tp);
    }
    return response;
}

} // namespace tervane

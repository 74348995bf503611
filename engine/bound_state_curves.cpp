#include "engine/bound_state_curves.h"

#include <algorithm>

#include "engine/bound_states.h"
#include "engine/document.h"
#include "model/constants.h"

namespace tervane {

std::vector<BoundStateCurve> boundStateCurves(const Document& document, Observer& observer)
{
    std::vector<BoundStateCurve> curves;
    const Grid& full = document.grid;
    if (!document.schroedingerOn || full.count < 3)
        return curves;
    // The points the solve's bound states live on.
    const int from = std::clamp(full.quantumFirst, 0, full.count - 1);
    const int to = std::clamp(full.quantumLast, from, full.count - 1);
    if (to - from + 1 < 3)
        return curves;
    Grid region(to - from + 1);
    const auto begin = static_cast<std::ptrdiff_t>(from);
    const auto end = static_cast<std::ptrdiff_t>(to);
    std::copy(full.points.begin() + begin, full.points.begin() + end + 1, region.points.begin());
    std::copy(full.dx.begin() + begin, full.dx.begin() + end, region.dx.begin());
    std::copy(full.eps.begin() + begin, full.eps.begin() + end, region.eps.begin());

    const EigenSolverKind solver = document.schroedingerSettings.eigenSolver;
    EigenSolution solution(region.count);
    std::vector<Carrier> kinds{Carrier::Electron};
    if (document.valenceSchroedingerOn)
        kinds.insert(kinds.end(), {Carrier::LightHole, Carrier::HeavyHole});
    // Confined: at least confinementMargin kT below the band edge at both ends of the region for
    // electrons, above it for holes.
    const GridPoint& left = region.points.front();
    const GridPoint& right = region.points.back();
    const double electronMargin = confinementMargin * kB * std::max(left.Tn, right.Tn);
    const double holeMargin = confinementMargin * kB * std::max(left.Tp, right.Tp);
    for (const Carrier kind : kinds) {
        const std::vector<int> bound =
            kind == Carrier::Electron
                ? solveElectronStates(region, solution, solver, observer, StateScope::Needed)
                : solveHoleStates(region, solution, kind, solver, observer, StateScope::Needed);
        for (const int k : bound) {
            if (k >= solution.withVectors || k >= solution.columns())
                continue;
            const double E = solution.E[static_cast<std::size_t>(k)];
            const bool confined =
                kind == Carrier::Electron
                    ? E < std::min(left.conductionEdge(), right.conductionEdge()) - electronMargin
                    : E > std::max(left.valenceEdge(), right.valenceEdge()) + holeMargin;
            if (!confined)
                continue;
            const double* psi = solution.state(k);
            double peak = 0.0;
            for (int i = 0; i < region.count; ++i)
                peak = std::max(peak, psi[i] * psi[i]);
            int first = region.count;
            int last = -1;
            for (int i = 0; i < region.count; ++i)
                if (psi[i] * psi[i] >= extentFraction * peak) {
                    first = std::min(first, i);
                    last = i;
                }
            if (last < first)
                continue;
            BoundStateCurve curve;
            curve.carrier = kind;
            curve.energy = E;
            curve.first = from + first;
            for (int i = first; i <= last; ++i)
                curve.probability.push_back(psi[i] * psi[i]);
            curves.push_back(std::move(curve));
        }
    }
    return curves;
}

} // namespace tervane

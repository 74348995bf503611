#include "python/solution.h"

#include <limits>
#include <stdexcept>

#include "engine/bound_states.h"
#include "engine/solve_driver.h"
#include "model/observer.h"

namespace tervane::python {

std::vector<double> Solution::column(const std::string& name) const
{
    const Grid& grid = document.grid;
    const DensityMode mode = solutionDensityMode(document);
    std::vector<double> values(static_cast<std::size_t>(grid.count));
    double x = 0.0;
    for (int i = 0; i < grid.count; ++i) {
        const GridPoint& point = grid.point(i);
        double& value = values[static_cast<std::size_t>(i)];
        if (name == "x")
            value = x;
        else if (name == "Ec")
            value = point.conductionEdge();
        else if (name == "Ev")
            value = point.valenceEdge();
        else if (name == "Efn")
            value = point.Efn;
        else if (name == "Efp")
            value = point.Efp;
        else if (name == "n")
            value = point.electronDensity(grid.modeIn(i, mode));
        else if (name == "p")
            value = point.holeDensity(grid.modeIn(i, mode));
        else if (name == "phi_pol")
            value = point.phiPol;
        else if (name == "phi")
            value = point.phi;
        else
            throw std::invalid_argument("no column " + name);
        if (i < grid.count - 1)
            x += grid.dx[static_cast<std::size_t>(i)];
    }
    return values;
}

double Solution::sheetDensity(double a, double b)
{
    setChargeRangeByDepth(document, a, b);
    constexpr double perSquareMetrePerPerSquareCm = 1e4;
    return document.sheetCharge * perSquareMetrePerPerSquareCm;
}

void Solution::findBoundStates()
{
    states.clear();
    statesFound = true;
    if (!document.schroedingerOn || document.schroedingerSettings.quantumRegion || document.grid.count < 3)
        return;
    const Grid& grid = document.grid;
    const int N = grid.count;
    CollectingObserver observer; // the solve has said what there was to say
    for (const Carrier carrier : carriers) {
        if (carrier != Carrier::Electron && !document.valenceSchroedingerOn)
            break;
        EigenSolution solution(N);
        const EigenSolverKind solver = document.schroedingerSettings.eigenSolver;
        const std::vector<int> bound =
            carrier == Carrier::Electron
                ? solveElectronStates(grid, solution, solver, observer, StateScope::Needed)
                : solveHoleStates(grid, solution, carrier, solver, observer, StateScope::Needed);
        BoundStates kind;
        kind.carrier = carrier;
        std::vector<double> populations;
        for (const Subband& subband : document.subbands)
            if (subband.carrier == carrier)
                populations.push_back(subband.population);
        for (std::size_t s = 0; s < bound.size(); ++s) {
            const int k = bound[s];
            if (k < solution.first || k >= solution.withVectors)
                continue;
            kind.energies.push_back(solution.E[static_cast<std::size_t>(k)]);
            kind.population.push_back(populations.size() == bound.size()
                                          ? populations[s]
                                          : std::numeric_limits<double>::quiet_NaN());
            const double* psi = solution.state(k);
            kind.psi.insert(kind.psi.end(), psi, psi + N);
        }
        kind.count = static_cast<int>(kind.energies.size());
        states.push_back(std::move(kind));
    }
}

} // namespace tervane::python

// Damped Newton steps of d/dx(eps dphi/dx) = -q (p - n + ND - NA) on the non-uniform mesh. The
// contact potentials are Dirichlet values; only interior points move.
#include <cmath>

#include "engine/grid.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

void Grid::initialGuess()
{
    for (int i = 1; i <= count - 2; ++i) {
        GridPoint& p = point(i);
        p.fullyIonized = true;
        const double net = p.ionizedDonors() - p.ionizedAcceptors();
        if (net == 0.0)
            p.phi = p.dEc - (p.Eg / 2 + p.phiPol) - p.Efn; // Ec Eg/2 above Efn
        else if (net > 0.0)
            p.phi = p.dEc - kB * p.Tn * std::log(Nc0 / net) - p.phiPol - p.Efn; // n = net
        else // acceptors win; Efn is used here too, not Efp
            p.phi = p.dEc - p.Eg + kB * p.Tp * std::log(Nv0 / (-net)) - p.phiPol - p.Efn;
        p.fullyIonized = fullyIonized;
    }
}

void Grid::assemblePoisson(DensityMode mode)
{
    solvedMode = mode;
    assemblePoisson([this, mode](int i, const GridPoint& p) { return p.boltzmannResponse(modeIn(i, mode)); });
}

void Grid::assemblePoisson(const std::function<CarrierResponse(int, const GridPoint&)>& carriers)
{
    system.resize(count);
    if (count - 1 < 2)
        return;
    for (int i = 1; i <= count - 2; ++i) {
        const auto k = static_cast<std::size_t>(i);
        GridPoint& p = point(i);
        system.diag[k] = 0;
        const double h = dx[k - 1] + dx[k];
        system.upper[k] = 2 * eps[k] / (h * dx[k]);
        system.lower[k] = 2 * eps[k - 1] / (h * dx[k - 1]);
        const double d0 = -(system.lower[k] + system.upper[k]);
        system.diag[k] = d0;

        const CarrierResponse c = carriers(i, p);
        const double ND = p.ionizedDonors();
        const double NA = p.ionizedAcceptors();
        // The negative residual of the three-point form.
        system.rhs[k] = -(q * (c.p - c.n + ND - NA) + system.lower[k] * point(i - 1).phi + d0 * p.phi +
                          system.upper[k] * point(i + 1).phi);
        system.diag[k] -= c.slope;
        if (!fullyIonized)
            system.diag[k] -= q * NA / (kB * p.Tp) + q * ND / (kB * p.Tn);
    }
}

double Grid::poissonStep(DensityMode mode, Observer& observer)
{
    assemblePoisson(mode);
    return newtonUpdate(observer);
}

double Grid::poissonStep(const std::function<CarrierResponse(int, const GridPoint&)>& carriers,
                         Observer& observer)
{
    assemblePoisson(carriers);
    return newtonUpdate(observer);
}

double Grid::newtonUpdate(Observer& observer)
{
    const int N = count;
    if (N < 1)
        return 0.0;
    const auto last = static_cast<std::size_t>(N - 1);
    system.upper[0] = 0;
    system.diag[0] = 1;
    system.rhs[0] = 0;
    system.diag[last] = 1;
    system.lower[last] = 0;
    system.rhs[last] = 0;

    // Thomas algorithm: forward elimination, back substitution, no pivoting.
    scratch_.resize(static_cast<std::size_t>(N));
    std::vector<double>& g = scratch_;
    std::vector<double>& u = system.update;
    double b = system.diag[0];
    u[0] = system.rhs[0] / b;
    for (std::size_t i = 1; i <= last; ++i) {
        g[i] = system.upper[i - 1] / b;
        b = system.diag[i] - system.lower[i] * g[i];
        if (b == 0.0 || std::isnan(b)) {
            observer.message("error in matrix solver\n");
            return -1.0;
        }
        u[i] = (system.rhs[i] - system.lower[i] * u[i - 1]) / b;
    }
    for (std::size_t i = last; i-- > 0;)
        u[i] -= g[i + 1] * u[i + 1];

    double error = 0;
    for (std::size_t i = 1; i + 1 <= last; ++i) {
        const double change = std::fabs(u[i]);
        if (change > error)
            error = change;
        points[i].phi += damping * u[i];
    }
    return error;
}

} // namespace tervane

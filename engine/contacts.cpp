// Dirichlet values of the two contact points: a Fixed contact pins Ec at its barrier height, a
// Neutral contact takes the potential at which the local charge vanishes.
#include <algorithm>
#include <cmath>

#include "engine/grid.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

namespace {

// Net charge in the order the neutrality search forms it: ND - NA - n + p.
double neutralityCharge(const GridPoint& point)
{
    return point.ionizedDonors() - point.ionizedAcceptors() - point.electronDensity(DensityMode::Classical) +
           point.holeDensity(DensityMode::Classical);
}

constexpr double chargeTolerance = 1e6;     // m^-3, i.e. 1 cm^-3
constexpr double potentialTolerance = 1e-6; // V

} // namespace

void GridPoint::solveNeutralPotential(Observer& observer)
{
    const double T = std::max(Tn, Tp);
    const double w = 10.0 * kB * T;
    // At hi, Ec lies Eg + w below Efn (strongly n-type); at lo, Ev lies w above Efp (strongly p-type).
    double hi = dEc - phiPol - Efn + Eg + w;
    double lo = dEc - phiPol - Efp - Eg - w;
    double mid = (lo + hi) / 2;

    auto chargeAt = [this](double trial) {
        phi = trial;
        return neutralityCharge(*this);
    };
    double Qhi = chargeAt(hi);
    const double Qlo = chargeAt(lo);
    double Qmid = chargeAt(mid);

    if (Qlo * Qhi > 0)
        observer.message("Something wrong in root finder for charge neutral conditions at contacts");

    if (std::fabs(Qmid) <= chargeTolerance) {
        phi = mid;
        return;
    }
    // The bracket halves at every pass. A bracket that is not finite, or whose ends are so large that
    // halving no longer moves them, would never shrink below the tolerance: stop there instead of
    // looping for ever.
    for (;;) {
        if (std::fabs(mid - hi) <= potentialTolerance && std::fabs(lo - hi) <= potentialTolerance)
            break;
        if (!std::isfinite(lo) || !std::isfinite(hi) || mid == lo || mid == hi)
            break;
        if (Qmid * Qhi < 0)
            lo = mid;
        else
            hi = mid;
        mid = (lo + hi) / 2;
        Qhi = chargeAt(hi);
        Qmid = chargeAt(mid);
        if (std::fabs(Qmid) <= chargeTolerance)
            break;
    }
    phi = mid;
}

void Grid::applyContacts(Observer& observer)
{
    if (count <= 0)
        return;
    GridPoint& left = point(0);
    if (leftContact != ContactKind::Neutral)
        left.phi = left.dEc - leftBarrier; // phiPol of point 0 is always 0
    else
        left.solveNeutralPotential(observer);

    GridPoint& right = point(count - 1);
    if (rightContact != ContactKind::Neutral)
        right.phi = right.dEc - rightBarrier - right.phiPol;
    else
        right.solveNeutralPotential(observer);
}

} // namespace tervane

// Local charge model of a grid point: Boltzmann carriers with fixed effective densities of states,
// dopant ionization, and the occupation of one two-dimensional subband. Exponentials are evaluated
// as they come: a very negative exponent gives 0, a very positive one overflows.
#include <cmath>

#include "engine/grid_point.h"
#include "model/constants.h"

namespace tervane {

double ionizationFraction(double E, double g, double T)
{
    return 1.0 / (1.0 + g * std::exp(E / (kB * T)));
}

double GridPoint::electronDensity(DensityMode mode) const
{
    if (mode != DensityMode::Classical)
        return nBound;
    return Nc0 * std::exp((Efn - conductionEdge()) / (kB * Tn));
}

double GridPoint::holeDensity(DensityMode mode) const
{
    if (!holes)
        return 0.0;
    if (mode == DensityMode::BoundElectronsAndHoles)
        return pBound;
    return Nv0 * std::exp((valenceEdge() - Efp) / (kB * Tp));
}

CarrierResponse GridPoint::boltzmannResponse(DensityMode mode) const
{
    const double n = electronDensity(mode);
    const double p = holeDensity(mode);
    return {n, p, q * p / (kB * Tp) + q * n / (kB * Tn)};
}

double GridPoint::ionizedDonors() const
{
    if (fullyIonized)
        return Nd; // deep donors are not counted at all
    const double Ec = conductionEdge();
    return Ndd * ionizationFraction(Efn - (Ec - EdDeep), donorDegeneracy, Tn) +
           Nd * ionizationFraction(Efn - (Ec - EdShallow), donorDegeneracy, Tn);
}

double GridPoint::ionizedAcceptors() const
{
    if (fullyIonized)
        return Na; // deep acceptors are not counted
    const double Ev = valenceEdge();
    return Nda * ionizationFraction(Ev + EaDeep - Efp, acceptorDegeneracy, Tp) +
           Na * ionizationFraction(Ev + EaShallow - Efp, acceptorDegeneracy, Tp);
}

double sheetOccupancy(double E, double m, double T)
{
    const double kT = kB * T;
    double s = kT * std::log(1.0 + std::exp(-E / kT));
    if (s < 0.0)
        s = 0.0;
    return s * m * dos2D;
}

} // namespace tervane

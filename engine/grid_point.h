#pragma once

namespace tervane {

class Observer;

// Where a point's carrier densities come from: Boltzmann statistics, or the bound states of the last
// Schroedinger pass (nBound, and pBound for holes too).
enum class DensityMode : int { Classical = 0, BoundElectrons = 1, BoundElectronsAndHoles = 2 };

// The carriers of one interior point as a Newton step sees them: the densities (m^-3) and the slope
// q (dn/dphi - dp/dphi) (F/m^3 per volt of the step, i.e. C/(m^3 V)), which enters the Newton matrix.
struct CarrierResponse {
    double n = 0.0;
    double p = 0.0;
    double slope = 0.0;
};

// One mesh point. SI units with energies in eV: potentials in V, densities in m^-3, temperatures in K,
// masses in m0. Band edges: Ec = dEc - (phiPol + phi), Ev = Ec - Eg.
class GridPoint {
  public:
    double phi = 0.0;       // electrostatic potential, V
    double Eg = 0.0;        // band gap, eV
    double dEc = 0.0;       // conduction-band offset of the material, eV
    double Ndd = 0.0;       // deep donors, m^-3
    double Nda = 0.0;       // deep acceptors, m^-3
    double Nd = 0.0;        // shallow donors, m^-3
    double Na = 0.0;        // shallow acceptors, m^-3
    double dP = 0.0;        // polarization step from the previous point, elementary charges per m^2
    double phiPol = 0.0;    // potential of the polarization charges, V
    double nBound = 0.0;    // electron density from bound states, m^-3
    double pBound = 0.0;    // hole density from bound states, m^-3
    double me = 0.0;        // electron effective mass, m0
    double mlh = 0.0;       // light-hole effective mass, m0
    double mhh = 0.0;       // heavy-hole effective mass, m0
    double Tn = 300.0;      // electron temperature, K
    double Tp = 300.0;      // hole temperature, K
    double EdShallow = 0.0; // below Ec, eV
    double EaShallow = 0.0; // above Ev, eV
    double EdDeep = 0.0;    // below Ec, eV
    double EaDeep = 0.0;    // above Ev, eV
    double Efn = 0.5;       // electron quasi-Fermi level, eV
    double Efp = 0.5;       // hole quasi-Fermi level, eV
    bool holes = false;     // false: the point has no holes at all
    bool fullyIonized = false;

    virtual ~GridPoint() = default;
    GridPoint() = default;
    GridPoint(const GridPoint&) = default;
    GridPoint& operator=(const GridPoint&) = default;

    double conductionEdge() const { return dEc - (phiPol + phi); }
    double valenceEdge() const { return conductionEdge() - Eg; }

    // Carrier statistics (m^-3), from this point's fields and the density mode alone.
    [[nodiscard]] double electronDensity(DensityMode mode) const;
    [[nodiscard]] double holeDensity(DensityMode mode) const;
    [[nodiscard]] double ionizedDonors() const;
    [[nodiscard]] double ionizedAcceptors() const;
    // p - n + ND - NA, elementary charges per m^3.
    [[nodiscard]] double netCharge(DensityMode mode) const
    {
        return holeDensity(mode) - electronDensity(mode) + ionizedDonors() - ionizedAcceptors();
    }

    // The densities of `mode` with the Boltzmann slopes of both carriers (also for bound-state densities),
    // as a Newton step takes them.
    [[nodiscard]] CarrierResponse boltzmannResponse(DensityMode mode) const;

    // Sets phi to the charge-neutral value by bisection, with classical carriers.
    void solveNeutralPotential(Observer& observer);
};

// 1 / (1 + g exp(E / (kB T))); E in eV, T in K.
double ionizationFraction(double E, double g, double T);

// Occupied sheet density of one subband, m^-2: E (eV) is the subband's distance from the quasi-Fermi
// level on the side where it empties, m the effective mass in kg, T in K.
double sheetOccupancy(double E, double m, double T);

} // namespace tervane

#pragma once

// Physical constants and unit factors. These are the values the model is defined with (rounded as
// they are on purpose); every computation uses them and no other.
namespace tervane {

inline constexpr double kB = 8.666666666666667e-5;     // Boltzmann constant, eV/K (0.026 eV at 300 K)
inline constexpr double q = 1.6e-19;                   // elementary charge, C
inline constexpr double qInverse = 6.25e18;            // 1/q: C to elementary charges, J to eV
inline constexpr double m0 = 9.1e-31;                  // free-electron mass, kg
inline constexpr double twoM0 = 1.82e-30;              // 2 m0, kg
inline constexpr double hbarSquared = 1.113025e-68;    // (J s)^2
inline constexpr double eps0 = 8.85e-12;               // vacuum permittivity, F/m
inline constexpr double Nc0 = 2.07e24;                 // conduction-band effective density of states, m^-3
inline constexpr double Nv0 = 1.16e25;                 // valence-band effective density of states, m^-3
inline constexpr double dos2D = 4.5781014813448804e48; // q / (pi hbar^2) with pi = 3.14; eV and kg
inline constexpr double donorDegeneracy = 2.0;
inline constexpr double acceptorDegeneracy = 1.0;

// Display units: people read and type lengths in Angstrom and densities in cm^-3.
inline constexpr double metresPerAngstrom = 1e-10;
inline constexpr double angstromPerMetre = 1e10;
inline constexpr double perCubicMetrePerPerCubicCm = 1e6;  // cm^-3 -> m^-3
inline constexpr double perCubicCmPerPerCubicMetre = 1e-6; // m^-3 -> cm^-3

} // namespace tervane

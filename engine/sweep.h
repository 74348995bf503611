#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/carrier.h"

namespace tervane {

// What one parameter of a sweep sets in the base structure.
enum class SweepTarget {
    LayerThickness,   // the layer's thickness; values in Angstrom
    LayerDx,          // its grid spacing; Angstrom
    LayerComposition, // the constant term of its composition law
    LayerNd,          // its shallow donors; cm^-3
    LayerNa,          // shallow acceptors; cm^-3
    LayerNdd,         // deep donors; cm^-3
    LayerNda,         // deep acceptors; cm^-3
    LeftBarrier,      // a Fixed left contact with this barrier; eV
    RightBarrier,     // a Fixed right contact with this barrier; eV
    Temperature,      // every layer's electron and hole temperature, constant over the layer; K
};

// One varied parameter: its column name, what it sets and the values it takes, in the units people
// type (the comments of SweepTarget), which are the units of the results table.
struct SweepParameter {
    std::string name;
    SweepTarget target = SweepTarget::LayerThickness;
    std::size_t layer = 0; // for the layer targets, index 0 at the left contact
    std::vector<double> values;
};

// How the parameters' values make points: every combination (the last parameter varying fastest), or
// the k-th value of each together (every list as long as the first).
enum class SweepCombination { Product, Zip };

// What a point records.
enum class SweepFigureKind {
    SheetDensity,      // electron sheet density between two depths; cm^-2
    LayerSheetDensity, // electron sheet density over one layer's grid intervals; cm^-2
    Subband,           // energy of a bound state minus the quasi-Fermi level where it peaks; eV
    ConductionEdge,    // Ec at a depth, linear between grid points; eV
    ValenceEdge,       // Ev at a depth; eV
    Passes,            // iterations of the last phase (Schroedinger passes when that phase ran)
    Converged,         // 1 or 0
    SolveTime,         // wall-clock seconds of the solve: the one figure that is not reproducible
};

struct SweepFigure {
    std::string name; // column of the results table
    SweepFigureKind kind = SweepFigureKind::SheetDensity;
    double from = 0.0; // m from the left contact: SheetDensity's range, Subband's peak window
    double to = 0.0;
    double depth = 0.0;    // m, for the band edges
    std::size_t layer = 0; // LayerSheetDensity
    int index = 0;         // Subband: 0 for the lowest state of `carrier` in the window
    Carrier carrier = Carrier::Electron;
};

// A sweep without its base structure: the parameters, how they combine and the figures. The base
// document (structure, materials, solve settings) is held beside it by whoever runs the points.
struct Sweep {
    std::vector<SweepParameter> parameters;
    SweepCombination combination = SweepCombination::Product;
    std::vector<SweepFigure> figures;
};

// Points above this are refused by the readers of sweeps: a table nobody could finish.
inline constexpr long long maxSweepPoints = 1'000'000'000;

// Number of points: the product of the list lengths, or the common length when zipped; 0 without
// parameters. Saturates at maxSweepPoints + 1.
[[nodiscard]] long long sweepPointCount(const Sweep& sweep);

// The parameter values of point `index` (0 <= index < sweepPointCount), one per parameter in order.
[[nodiscard]] std::vector<double> sweepPointValues(const Sweep& sweep, long long index);

} // namespace tervane

#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/charge_view_settings.h"
#include "engine/grid.h"
#include "engine/schroedinger_settings.h"
#include "engine/subband.h"
#include "model/layer.h"
#include "model/material.h"

namespace tervane {

class Observer;

// One structure, what the user has set for it, and the results of its last solve, without any window
// system: the desktop program's document owns one of these, the command-line tool works on one
// directly. How a window shows it (scales, cursor) is the window's. SI units inside (m, m^-3, K, eV)
// except where a member says otherwise.
class Document {
  public:
    // The structure.
    std::vector<Layer> layers;       // index 0 at the left contact
    std::vector<Material> materials; // looked up by exact name, first match wins

    // Settings.
    bool schroedingerOn = false;
    bool valenceSchroedingerOn = false;
    bool fullyIonized = true;
    bool polarizationOn = true;
    double substrateA = 3.189;    // Angstrom
    double substratePsp = -0.029; // C/m^2
    std::string substrateMaterial = "GaN";
    double substrateX = 0.0;
    int poissonIterations = 200;
    int schroedingerIterations = 20;
    double damping = 1.0;                      // the Solver Properties dialog shows 1 - damping
    double temperature = 300.0;                // K; the constant term of Tn and Tp of new layers
    SchroedingerSettings schroedingerSettings; // eigen-solver and eigenstate-file folder
    int chargeFirst = 0;                       // sheet-density range, grid indices
    int chargeLast = 0;
    ChargeViewSettings chargeView; // how the window's charge view shows the densities

    // The grid with its contact settings, and the last solution on it.
    Grid grid;
    double solverError = 0.0; // last Poisson error of the last solve, V
    int iterations = 0;
    int boundStates = 0;
    double sheetCharge = 0.0; // cm^-2
    // False when the last solve stopped at an iteration limit with its error above the tolerance.
    bool converged = true;
    double tolerance = 0.0;        // V, the tolerance the last phase of the last solve ran to
    std::vector<Subband> subbands; // bound states of the last Schroedinger pass

    // File > New: empties the grid and the stack, clears the status values and returns the substrate
    // and solver settings to their New values. Materials, contacts, temperature and switches are kept.
    void newDocument();
};

// Takes the grid and the results of the last solve of `solved` (a copy of `document` solved elsewhere,
// on another thread), leaving the structure and the settings of `document` as they are.
void adoptSolution(Document& document, Document&& solved);

// Which densities the Schroedinger switches put into the solution: classical ones, bound electrons, or
// bound electrons and holes.
[[nodiscard]] DensityMode solutionDensityMode(const Document& document);

// "Solver error: %.5e iterations: %d bound states: %d ns: %.2e cm-2": the status of the last solve as
// the window's status bar and the command-line tool show it.
[[nodiscard]] std::string statusLine(const Document& document);

// "Not converged: the solve stopped at its iteration limit (20 Schroedinger passes) with an error of
// 0.000272 V, above its tolerance of 1e-05 V", for a solve that did not converge; each front end adds
// how to change its limits.
[[nodiscard]] std::string notConvergedText(const Document& document);

// "Layer 3 (AlGaN)": a layer as messages name it, by the index the layer list shows and its material.
[[nodiscard]] std::string layerLabel(std::size_t index, const Layer& layer);

// The material a layer names, or nullptr after telling the observer "Material not found!".
const Material* layerMaterial(const Document& document, const Layer& layer, Observer& observer);

} // namespace tervane

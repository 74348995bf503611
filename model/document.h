#pragma once

#include <string>
#include <vector>

#include "engine/grid.h"
#include "engine/schroedinger_settings.h"
#include "model/layer.h"
#include "model/material.h"

namespace tervane {

// Everything that describes one structure and what the user has set for it, without any window
// system: the GUI's document owns one of these, the command-line tool works on one directly.
// SI units inside (m, m^-3, K, eV) except where a member says otherwise.
class Document {
public:
    Grid grid;                       // simulation grid, contact settings and last solution
    std::vector<Layer> layers;       // index 0 at the left contact
    std::vector<Material> materials; // looked up by exact name, first match wins
    bool schroedingerOn = false;
    bool valenceSchroedingerOn = false;
    double solverError = 0.0;        // last Poisson error of the last solve, V
    int iterations = 0;
    int boundStates = 0;
    double chargeLower = 1e21;       // charge view axis, m^-3
    double chargeUpper = 1e26;       // m^-3
    double substrateA = 3.189;       // Angstrom
    double substratePsp = -0.029;    // C/m^2
    double sheetCharge = 0.0;        // cm^-2
    double cursorN = 0.0;            // m^-3
    double cursorP = 0.0;            // m^-3
    double cursorX = 0.0;            // m
    bool autoScale = true;
    bool logScale = false;
    bool fullyIonized = true;
    bool polarizationOn = true;
    int chargeLast = 0;              // grid index
    int chargeFirst = 0;             // grid index
    std::string substrateMaterial = "GaN";
    double substrateX = 0.0;
    int poissonIterations = 200;
    int schroedingerIterations = 20;
    double damping = 1.0;            // the Solver Properties dialog shows 1 - damping
    double temperature = 300.0;      // K; the constant term of Tn and Tp of new layers
    SchroedingerSettings schroedingerSettings;  // eigen-solver and eigenstate-file folder

    // File > New: empties the grid and the stack, clears the status values and returns the substrate
    // and solver settings to their New values. Materials, contacts, temperature, switches and the
    // charge-view settings are kept.
    void newDocument();
};

}  // namespace tervane

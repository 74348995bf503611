#pragma once

#include <optional>
#include <string>

#include "engine/grid.h"
#include "engine/schroedinger_settings.h"

namespace tervane {

class Document;

// The solve settings a front end takes from its user (the command line's options, the Python
// module's keywords, a sweep file) and sets on a document in one place. Each optional one left out
// keeps the document's value.
struct SolveSettings {
    bool schroedinger = false;
    bool valence = false;
    bool polarization = true;
    bool partialIonization = false;
    SelfConsistency selfConsistency = SelfConsistency::Alternating;
    EigenSolverKind eigenSolver = EigenSolverKind::Tridiagonal;
    std::optional<int> poissonIterations;
    std::optional<int> schroedingerIterations;
    std::optional<double> tolerance; // V
    std::optional<double> damping;
    bool quantumRegion = false;
    double quantumFrom = 0.0; // m from the left contact
    double quantumTo = 0.0;
    std::optional<ContactKind> leftContact;
    double leftBarrier = 0.0; // eV, with a Fixed left contact
    std::optional<ContactKind> rightContact;
    double rightBarrier = 0.0;
    std::optional<double> temperature; // K, every layer's carriers
    std::optional<std::string> substrateMaterial;
    double substrateX = 0.0;
};

// Sets `settings` on `document`: a contact as the Contacts dialog sets it (a Neutral one keeps its
// barrier), a temperature as every layer's Tn and Tp, a substrate as its material's lattice constant
// and spontaneous polarization at its composition. False, with everything else set, when the
// substrate material is not among the document's materials.
[[nodiscard]] bool applySolveSettings(const SolveSettings& settings, Document& document);

} // namespace tervane

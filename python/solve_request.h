#pragma once

#include <optional>
#include <string>
#include <utility>

#include "engine/document.h"
#include "io/structure_loader.h"
#include "python/structure_binding.h"

namespace tervane::python {

// The keyword arguments of tervane.solve() and tervane.cv(), in SI units: what the options of
// `tervane-cli solve` set, with the accelerated self-consistency as the default.
struct SolveRequest {
    bool schroedinger = false;
    bool valence = false;
    bool polarization = true;
    bool partialIonization = false;
    std::string selfConsistency = "accelerated";
    std::string eigenSolver = "tridiagonal";
    std::optional<Contact> left; // nothing: the structure's own
    std::optional<Contact> right;
    std::optional<std::pair<double, double>> quantumRegion; // m from the left contact
    std::optional<double> damping;
    std::optional<int> poissonIterations;
    std::optional<int> schroedingerIterations;
    std::optional<double> tolerance;                         // V
    std::optional<std::pair<std::string, double>> substrate; // material name and composition
};

// A new document holding copies of the structure and the materials, with the request's settings
// applied as `tervane-cli solve` applies its options. Raises ValueError for a setting out of range.
Document makeDocument(const Structure& structure, const Materials& materials, const SolveRequest& request);

} // namespace tervane::python

#include "python/solve_request.h"

#include <cmath>

#include <pybind11/pybind11.h>

#include "engine/solve_settings.h"
#include "python/errors.h"

namespace tervane::python {

namespace py = pybind11;

Document makeDocument(const Structure& structure, const Materials& materials, const SolveRequest& request)
{
    if (request.valence && !request.schroedinger)
        throw py::value_error("valence=True needs schroedinger=True");
    if (request.selfConsistency != "accelerated" && request.selfConsistency != "alternating")
        throw py::value_error("self_consistency must be \"accelerated\" or \"alternating\", not \"" +
                              request.selfConsistency + "\"");
    if (request.eigenSolver != "tridiagonal" && request.eigenSolver != "dense")
        throw py::value_error("eigensolver must be \"tridiagonal\" or \"dense\", not \"" +
                              request.eigenSolver + "\"");
    if (request.damping && !(*request.damping >= 0.0 && *request.damping <= 1.0))
        throw py::value_error("damping must be from 0 to 1");
    if ((request.poissonIterations && *request.poissonIterations < 0) ||
        (request.schroedingerIterations && *request.schroedingerIterations < 0))
        throw py::value_error("an iteration limit must be 0 or more");
    if (request.tolerance && !(*request.tolerance > 0.0 && std::isfinite(*request.tolerance)))
        throw py::value_error("tolerance must be a finite number above 0 V");
    if (request.quantumRegion) {
        const auto [from, to] = *request.quantumRegion;
        if (!(std::isfinite(from) && std::isfinite(to) && from >= 0.0 && from < to))
            throw py::value_error("quantum_region must be (a, b) in m with 0 <= a < b");
    }

    Document document;
    document.materials = materials.list;
    document.layers = structure.layers;
    document.grid.leftContact = structure.leftContact;
    document.grid.leftBarrier = structure.leftBarrier;
    SolveSettings settings;
    settings.schroedinger = request.schroedinger;
    settings.valence = request.valence;
    settings.polarization = request.polarization;
    settings.partialIonization = request.partialIonization;
    settings.damping = request.damping;
    settings.poissonIterations = request.poissonIterations;
    settings.schroedingerIterations = request.schroedingerIterations;
    settings.selfConsistency = request.selfConsistency == "accelerated" ? SelfConsistency::Accelerated
                                                                        : SelfConsistency::Alternating;
    settings.eigenSolver =
        request.eigenSolver == "dense" ? EigenSolverKind::Dense : EigenSolverKind::Tridiagonal;
    settings.tolerance = request.tolerance;
    if (request.quantumRegion) {
        settings.quantumRegion = true;
        settings.quantumFrom = request.quantumRegion->first;
        settings.quantumTo = request.quantumRegion->second;
    }
    if (request.left) {
        settings.leftContact = request.left->kind;
        settings.leftBarrier = request.left->barrier;
    }
    if (request.right) {
        settings.rightContact = request.right->kind;
        settings.rightBarrier = request.right->barrier;
    }
    if (request.substrate) {
        settings.substrateMaterial = request.substrate->first;
        settings.substrateX = request.substrate->second;
    }
    if (!applySolveSettings(settings, document))
        throw MaterialNotFound("The substrate material \"" + *settings.substrateMaterial +
                               "\" is not in the materials list");
    return document;
}

} // namespace tervane::python

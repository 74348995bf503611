#include "engine/document.h"

#include <cstdio>
#include <utility>

#include "model/observer.h"
#include "model/text.h"

namespace tervane {

void Document::newDocument()
{
    grid.reset(0);
    layers.clear();
    solverError = 0.0;
    iterations = 0;
    boundStates = 0;
    converged = true;
    tolerance = 0.0;
    subbands.clear();
    substrateA = 3.189;
    substratePsp = -0.029;
    substrateMaterial = "GaN";
    substrateX = 0.0;
    fullyIonized = true;
    damping = 1.0;
    poissonIterations = 200;
    schroedingerIterations = 20;
}

void adoptSolution(Document& document, Document&& solved)
{
    Grid& grid = document.grid;
    const ContactKind left = grid.leftContact;
    const ContactKind right = grid.rightContact;
    const double leftBarrier = grid.leftBarrier;
    const double rightBarrier = grid.rightBarrier;
    grid = std::move(solved.grid);
    grid.leftContact = left;
    grid.rightContact = right;
    grid.leftBarrier = leftBarrier;
    grid.rightBarrier = rightBarrier;
    document.chargeFirst = solved.chargeFirst;
    document.chargeLast = solved.chargeLast;
    document.solverError = solved.solverError;
    document.iterations = solved.iterations;
    document.boundStates = solved.boundStates;
    document.sheetCharge = solved.sheetCharge;
    document.converged = solved.converged;
    document.tolerance = solved.tolerance;
    document.subbands = std::move(solved.subbands);
}

DensityMode solutionDensityMode(const Document& document)
{
    if (!document.schroedingerOn)
        return DensityMode::Classical;
    return document.valenceSchroedingerOn ? DensityMode::BoundElectronsAndHoles : DensityMode::BoundElectrons;
}

std::string statusLine(const Document& document)
{
    char text[160];
    std::snprintf(text, sizeof text, "Solver error: %.5e iterations: %d bound states: %d ns: %.2e cm-2",
                  document.solverError, document.iterations, document.boundStates, document.sheetCharge);
    return text;
}

std::string notConvergedText(const Document& document)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "Not converged: the solve stopped at its iteration limit (%d %s) with an error of %.3g V, "
                  "above its tolerance of %.3g V",
                  document.iterations, document.schroedingerOn ? "Schroedinger passes" : "Newton steps",
                  document.solverError, document.tolerance);
    return text;
}

std::string layerLabel(std::size_t index, const Layer& layer)
{
    return "Layer " + std::to_string(index) + " (" + printableName(layer.material) + ")";
}

const Material* layerMaterial(const Document& document, const Layer& layer, Observer& observer)
{
    const Material* material = findMaterial(document.materials, layer.material);
    if (!material)
        observer.message("Material not found!");
    return material;
}

} // namespace tervane

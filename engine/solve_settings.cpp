#include "engine/solve_settings.h"

#include "engine/document.h"

namespace tervane {

bool applySolveSettings(const SolveSettings& settings, Document& document)
{
    document.schroedingerOn = settings.schroedinger;
    document.valenceSchroedingerOn = settings.valence;
    document.polarizationOn = settings.polarization;
    document.fullyIonized = !settings.partialIonization;
    SchroedingerSettings& schroedinger = document.schroedingerSettings;
    schroedinger.selfConsistency = settings.selfConsistency;
    schroedinger.eigenSolver = settings.eigenSolver;
    if (settings.poissonIterations)
        document.poissonIterations = *settings.poissonIterations;
    if (settings.schroedingerIterations)
        document.schroedingerIterations = *settings.schroedingerIterations;
    if (settings.tolerance)
        schroedinger.tolerance = *settings.tolerance;
    if (settings.damping)
        document.damping = *settings.damping;
    if (settings.quantumRegion) {
        schroedinger.quantumRegion = true;
        schroedinger.quantumFrom = settings.quantumFrom;
        schroedinger.quantumTo = settings.quantumTo;
    }
    if (settings.leftContact) {
        document.grid.leftContact = *settings.leftContact;
        if (*settings.leftContact == ContactKind::Fixed)
            document.grid.leftBarrier = settings.leftBarrier;
    }
    if (settings.rightContact) {
        document.grid.rightContact = *settings.rightContact;
        if (*settings.rightContact == ContactKind::Fixed)
            document.grid.rightBarrier = settings.rightBarrier;
    }
    if (settings.temperature) {
        document.temperature = *settings.temperature;
        for (Layer& layer : document.layers)
            layer.Tn = layer.Tp = Quadratic(*settings.temperature, 0.0, 0.0);
    }
    if (settings.substrateMaterial) {
        const Material* material = findMaterial(document.materials, *settings.substrateMaterial);
        if (!material)
            return false;
        document.substrateMaterial = *settings.substrateMaterial;
        document.substrateX = settings.substrateX;
        document.substrateA = material->polarization.a.value(settings.substrateX);
        document.substratePsp = material->polarization.Psp.value(settings.substrateX);
    }
    return true;
}

} // namespace tervane

#include "model/document.h"

namespace tervane {

void Document::newDocument()
{
    grid.reset(0);
    layers.clear();
    solverError = 0.0;
    iterations = 0;
    boundStates = 0;
    substrateA = 3.189;
    substratePsp = -0.029;
    substrateMaterial = "GaN";
    substrateX = 0.0;
    fullyIonized = true;
    damping = 1.0;
    poissonIterations = 200;
    schroedingerIterations = 20;
}

}  // namespace tervane

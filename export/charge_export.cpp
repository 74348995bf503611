#include "export/charge_export.h"

#include <cmath>

#include "engine/document.h"
#include "engine/text_file.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

bool exportCharges(const Document& document, const std::string& path, Observer& observer)
{
    TextFile file(path);
    if (!file) {
        observer.message("Could not open file");
        return false;
    }
    double x = 0;
    double Pprev = document.substratePsp; // C/m^2
    for (std::size_t index = 0; index < document.layers.size(); ++index) {
        const Layer& layer = document.layers[index];
        const Material* material = layerMaterial(document, layer, observer);
        if (!material)
            return false;
        const double n = std::trunc(layer.thickness / layer.dx + 0.5);
        if (n >= 1 && document.polarizationOn) {
            // The polarization of the layer's first point, back in C/m^2 on the substrate's scale.
            const double f = layer.relaxed ? layer.strainFactor : 1.0;
            const double P = document.substratePsp + material->polarization.polarizationAt(
                                                         layer.composition.value(0.0), f, document.substrateA,
                                                         document.substratePsp) /
                                                         qInverse;
            file.print("%.3e\t%.3e\n", x, P - Pprev);
            Pprev = P;
        }
        x = x + layer.thickness;
    }
    return true;
}

} // namespace tervane

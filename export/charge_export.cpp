#include "export/charge_export.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/observer.h"
#include "model/constants.h"
#include "model/document.h"

namespace tervane {

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

bool exportCharges(Document& document, const std::string& path, Observer& observer)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
    if (!file) {
        observer.message("Could not open file");
        return false;
    }
    double x = 0;
    double Pprev = document.substratePsp;  // C/m^2
    for (std::size_t index = 0; index < document.layers.size(); ++index) {
        const Layer& layer = document.layers[index];
        Material* material = findMaterial(document.materials, layer.material);
        if (!material) {
            observer.message("Material not found!");
            return false;
        }
        material->polarization.substrateA = document.substrateA;
        material->polarization.substratePsp = document.substratePsp;
        const double n = std::trunc(layer.thickness / layer.dx + 0.5);
        if (n >= 1 && document.polarizationOn) {
            // The polarization of the layer's first point, back in C/m^2 on the substrate's scale.
            const double f = layer.relaxed ? layer.strainFactor : 1.0;
            const double P = document.substratePsp +
                             material->polarization.polarizationAt(layer.composition.value(0.0), f) / qInverse;
            std::fprintf(file.get(), "%.3e\t%.3e\n", x, P - Pprev);
            Pprev = P;
        }
        x = x + layer.thickness;
    }
    return true;
}

}  // namespace tervane

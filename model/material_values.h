#pragma once

namespace tervane {

// A material's values at one composition, in the units of its laws (eV, relative permittivity,
// free-electron masses).
struct MaterialValues {
    double Eg = 0.0;
    double dEc = 0.0;
    double epsr = 0.0;
    double me = 0.0;
    double mhh = 0.0;
    double mlh = 0.0;
    double EdShallow = 0.0;
    double EaShallow = 0.0;
    double EdDeep = 0.0;
    double EaDeep = 0.0;
};

} // namespace tervane

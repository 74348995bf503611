#include "model/polarization.h"

#include "model/constants.h"

namespace tervane {

bool Polarization::operator==(const Polarization& other) const
{
    return a == other.a && Psp == other.Psp && c13 == other.c13 && c33 == other.c33 && e31 == other.e31 &&
           e33 == other.e33;
}

double Polarization::polarizationAt(double x, double strainFactor, double substrateA,
                                    double substratePsp) const
{
    const double aL = a.value(x);
    if (aL == 0.0)
        return 0.0;
    const double strain = (substrateA - aL) / aL;
    // A c33 law that vanishes at x would put an infinity into the grid; the c13/c33 ratio counts as 0.
    const double c33x = c33.value(x);
    const double elasticRatio = c33x == 0.0 ? 0.0 : c13.value(x) / c33x;
    // The order of the products is the model's: (c13/c33)*strain*(-2)*e33 + 2*(e31*strain).
    const double piezo = elasticRatio * strain * (-2.0) * e33.value(x) + 2.0 * (e31.value(x) * strain);
    return piezo * qInverse * strainFactor + (Psp.value(x) - substratePsp) * qInverse;
}

} // namespace tervane

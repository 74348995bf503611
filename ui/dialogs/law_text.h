#pragma once

#include <QString>

#include "model/quadratic.h"

// How the dialogs write a law a + b x + c x^2 beside its button. Each coefficient has a fixed number
// of decimals, and more where the stored double needs them: -0.029 reads "-0.029", not "-0.03".

// The materials editor and its polarization dialog: "a+bx+cx^2" with at least two decimals,
// "-1.00+-0.75x+0.00x^2".
QString materialLawText(const tervane::Quadratic& law);

// Layer Properties: "c x^2+b x+a" with at least three decimals, "0.000 x^2+0.000 x+300.000".
QString layerLawText(const tervane::Quadratic& law);

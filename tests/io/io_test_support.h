#pragma once

#include <string>

#include "model/material.h"
#include "tests/support/test_support.h"

namespace tervane::test {

// A record whose 52 numbers are first, first + 1, ... in the order the binary file stores them, so
// that a number read into or written from the wrong field shows.
inline Material numberedMaterial(const std::string& name, double first, int type = Ternary)
{
    Material m;
    m.name = name;
    m.type = type;
    Polarization& p = m.polarization;
    for (Quadratic* law : {&m.EaDeep, &m.EdDeep, &m.dEc, &m.Eg, &m.eps, &m.me, &m.mhh, &m.mlh, &p.a, &p.c13,
                           &p.c33, &p.e31, &p.e33, &p.Psp, &m.EaShallow, &m.EdShallow})
        *law = Quadratic(first, first + 1, first + 2), first += 3;
    for (double* number : {&m.NaBackground, &m.NdBackground, &m.NdaBackground, &m.NddBackground})
        *number = first++;
    return m;
}

// The float64s first, first + 1, ... last, as stored.
inline std::string numbers(int first, int last)
{
    std::string text;
    for (int k = first; k <= last; ++k)
        text += f64(k);
    return text;
}

} // namespace tervane::test

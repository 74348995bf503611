#pragma once

#include <string>

#include "model/material.h"

namespace tervane::cli {

// The listing of one material, every line ending in "\n": a heading "NAME (Binary)" or
// "NAME (Ternary)", then one indented line per value, the key padded to a fixed column:
//   the ten laws      Eg dEc eps EaShallow EdShallow EaDeep EdDeep me mhh mlh  (law text form)
//   the backgrounds   NdBackground NaBackground NddBackground NdaBackground    ("%.3e cm^-3")
//   the polarization  a Psp c13 c33 e31 e33                                    (law text form)
// The keys are the model's member names, so `grep '^  Eg '` picks one value of every material.
std::string materialListing(const Material& material);

} // namespace tervane::cli

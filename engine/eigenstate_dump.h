#pragma once

#include <string>

namespace tervane {

class EigenSolution;
class Grid;
class Observer;

inline constexpr const char* electronStatesFile = "qstates.dat";
inline constexpr const char* lightHoleStatesFile = "qstateslh.dat";
inline constexpr const char* heavyHoleStatesFile = "qstateshh.dat";

// Writes one eigen-solution as tab-separated text, every field followed by a tab: a first line of
// "0.0" and the M returned energies (eV, "%.4f"), then for points r = 0..M-1 the position in
// Angstrom ("%.2f") and the components of all N states at that point ("%.4f", m^-1/2). Replaces an
// older file. When the file cannot be opened or written, says "Can't open dump file for schrodinger
// solution" and returns false.
bool writeEigenStates(const Grid& grid, const EigenSolution& solution, const std::string& path,
                      Observer& observer);

// Appends `value` as printf("%.4f") writes it, byte for byte (correct rounding, "-0.0000" for
// negative values that round to zero, "nan" and "inf" as printf spells them). `out` needs room for
// maxFixed4Length characters; returns the end of what was written.
inline constexpr int maxFixed4Length = 320;
char* formatFixed4(char* out, double value);

} // namespace tervane

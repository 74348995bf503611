#pragma once

#include <memory>
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

// An eigenstate file written a block of states at a time, as they are solved, so that no table of
// every state is ever held: each block's columns go to a fragment file beside the file, and finish()
// joins the fragments line by line into the file writeEigenStates writes, byte for byte. Fragments
// left by a failure are removed.
class EigenStateStream {
  public:
    EigenStateStream(const Grid& grid, std::string path);
    ~EigenStateStream();
    EigenStateStream(const EigenStateStream&) = delete;
    EigenStateStream& operator=(const EigenStateStream&) = delete;

    // Formats the states block.first..block.withVectors-1 at every point.
    void add(const EigenSolution& block);
    // Writes the file: the header of solution.E (the solution.returned energies), then for those
    // points the position and every state's component, the states not added as zero. Says "Can't
    // open dump file for schrodinger solution" and returns false when a file could not be written.
    bool finish(const EigenSolution& solution, Observer& observer);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Appends `value` as printf("%.4f") writes it, byte for byte (correct rounding, "-0.0000" for
// negative values that round to zero, "nan" and "inf" as printf spells them). `out` needs room for
// maxFixed4Length characters; returns the end of what was written.
inline constexpr int maxFixed4Length = 320;
char* formatFixed4(char* out, double value);

} // namespace tervane

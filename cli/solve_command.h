#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/solve_arguments.h"
#include "cli/structure_arguments.h"

namespace tervane::cli {

// tervane-cli solve STRUCTURE [--materials FILE] [options]: what the desktop program does after
// opening a structure, with the settings a document file keeps (a script: those of a new document)
// unless an option given changes them; every option left out keeps the stored value; then the
// optional C-V sweep, sheet-density range, exports and status file. Without --materials the standard
// library that ships with the tool is used (standard_library.h).
struct SolveOptions {
    StructureArguments structure;
    std::optional<std::string> materialsPath;
    bool schroedinger = false;
    bool valence = false;
    bool noPolarization = false;
    bool partialIonization = false;
    std::optional<SubstrateChoice> substrate;
    std::optional<ContactChoice> left;
    std::optional<ContactChoice> right;
    std::optional<double> damping;
    std::optional<int> poissonIterations;
    std::optional<int> schroedingerIterations;
    std::optional<std::string> eigenSolver;     // "dense" or "tridiagonal"
    std::optional<std::string> selfConsistency; // "alternating" or "accelerated"
    std::optional<double> tolerance;
    std::optional<DepthRange> quantumRegion;
    std::optional<std::string> dumpDirectory;
    std::optional<CvSweep> cv;
    std::string cvOutPath = "cv.out";
    std::optional<SheetRange> sheetRange;
    std::optional<std::string> bandsPath;
    std::optional<std::string> chargesPath;
    std::optional<std::string> statusJsonPath;
};

CLI::App* addSolveCommand(CLI::App& parent, SolveOptions& options);

// Returns the exit status. The status line goes to `out`, every message to `err` as it is met.
int runSolve(const SolveOptions& options, std::ostream& out, std::ostream& err);

} // namespace tervane::cli

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/grid.h"
#include "engine/schroedinger_settings.h"
#include "engine/solve_settings.h"
#include "engine/sweep.h"
#include "io/io_result.h"

namespace tervane {

// The solve settings a sweep file may give (engine/solve_settings.h); each one it leaves out keeps the
// value of a new document (the structure's own left contact included), except the self-consistency,
// which is accelerated unless the file says otherwise.
using SweepSolveSettings = SolveSettings;

// A sweep file as written (docs/sweeps.md shows one):
//
//   structure = "hemt.tvn"           # document file or import script, relative to the sweep file
//   materials = "standard.toml"      # optional; without it the caller's default library
//   combine = "product"              # or "zip"
//   [settings]                       # schroedinger, valence, self_consistency, quantum_region_nm, left, ...
//   [layers]                         # names for layer indices: barrier = 0
//   [[parameter]]                    # name, set = "barrier.x", and values | linear | log
//   [[figure]]                       # name, kind and the keys of that kind
//
// Layer indices are checked against the structure only when it is loaded (sweep_loader.h).
struct SweepFile {
    Sweep sweep;
    std::string structurePath; // resolved against the sweep file's folder
    std::string materialsPath; // empty: the caller's default
    SweepSolveSettings settings;
};

// Parses the text of a sweep file; relative paths are taken from `folder`. On failure `file` is
// unchanged and the message names the table, the key and the line.
IoResult decodeSweepFile(std::string_view text, const std::string& folder, SweepFile& file);

} // namespace tervane
